#include <gtest/gtest.h>

#include <OS.h>

#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

TEST(System, ClocksAndTeam)
{
	const bigtime_t first = system_time();
	const bigtime_t second = system_time();
	EXPECT_GT(first, 0);
	EXPECT_GE(second, first);
	const uint32 now = (uint32)time(nullptr);
	EXPECT_LE(real_time_clock() - now, 1u);

	EXPECT_EQ(current_team(), getpid());
	team_info team;
	ASSERT_EQ(get_team_info(B_CURRENT_TEAM, &team), B_OK);
	EXPECT_EQ(team.team, getpid());
	EXPECT_GE(team.thread_count, 1);
	EXPECT_GE(team.image_count, 2);
	EXPECT_GE(team.argc, 1);
	EXPECT_NE(std::string(team.args).find("test_kernel"), std::string::npos);
	EXPECT_EQ(get_team_info(-5, &team), B_BAD_TEAM_ID);
}

// Another program is there while it runs and gone once it has ended.
TEST(System, AnotherTeamIsThereUntilItEnds)
{
	const pid_t child = fork();
	ASSERT_GE(child, 0);
	if (child == 0) {
		pause();
		_exit(0);
	}
	team_info team;
	ASSERT_EQ(get_team_info(child, &team), B_OK);
	EXPECT_EQ(team.team, child);
	EXPECT_GE(team.thread_count, 1);
	EXPECT_EQ(team.uid, getuid());
	kill(child, SIGKILL);
	ASSERT_EQ(waitpid(child, nullptr, 0), child);
	EXPECT_EQ(get_team_info(child, &team), B_BAD_TEAM_ID);
}

TEST(System, SystemInfoCountsThisProcesssObjects)
{
	system_info before;
	ASSERT_EQ(get_system_info(&before), B_OK);
	EXPECT_GE(before.cpu_count, 1);
	EXPECT_GT(before.max_pages, 0);
	EXPECT_STREQ(before.kernel_name, "Linux");
	sem_id sem = create_sem(0, "counted");
	port_id port = create_port(1, nullptr);
	system_info after;
	get_system_info(&after);
	EXPECT_EQ(after.used_sems, before.used_sems + 1);
	EXPECT_EQ(after.used_ports, before.used_ports + 1);
	delete_sem(sem);
	delete_port(port);
}

TEST(SystemDeathTest, DebuggerPrintsAndAborts)
{
	// Other threads may run (the port listener): start the child afresh.
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	EXPECT_DEATH(debugger("stop right here"), "stop right here");
}
