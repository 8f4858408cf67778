#include <gtest/gtest.h>

#include <OS.h>

#include "TestUtil.h"

#include <atomic>
#include <string>

using testutil::wait_for;

namespace {

thread_state state_of(thread_id thread)
{
	thread_info info;
	return get_thread_info(thread, &info) == B_OK ? info.state : (thread_state)0;
}

struct Writer {
	port_id port;
	int32 code;
	std::string text;
	std::atomic<status_t> result{1};
};

int32 write_in_thread(void* data)
{
	Writer* writer = static_cast<Writer*>(data);
	writer->result = write_port(writer->port, writer->code, writer->text.data(),
		writer->text.size());
	return 0;
}

struct Reader {
	port_id port;
	std::atomic<ssize_t> result{1};
};

int32 read_in_thread(void* data)
{
	Reader* reader = static_cast<Reader*>(data);
	char buffer[16];
	int32 code;
	reader->result = read_port(reader->port, &code, buffer, sizeof(buffer));
	return 0;
}

thread_id start(thread_func func, void* data)
{
	thread_id thread = spawn_thread(func, "port helper", B_NORMAL_PRIORITY, data);
	resume_thread(thread);
	return thread;
}

std::string read_text(port_id port, int32* code)
{
	char buffer[64];
	ssize_t size = read_port(port, code, buffer, sizeof(buffer));
	return size >= 0 ? std::string(buffer, size) : "error " + std::to_string(size);
}

}

TEST(Port, CreateRejectsABadCapacity)
{
	EXPECT_EQ(create_port(0, "zero"), B_BAD_VALUE);
	EXPECT_EQ(create_port(-4, "negative"), B_BAD_VALUE);
}

TEST(Port, MessagesComeOutInOrderWithTheirCodes)
{
	port_id port = create_port(5, nullptr);
	ASSERT_GT(port, 0);
	EXPECT_EQ(write_port(port, 'one ', "first", 5), B_OK);
	EXPECT_EQ(write_port(port, 'two ', nullptr, 0), B_OK);
	EXPECT_EQ(port_count(port), 2);
	EXPECT_EQ(port_buffer_size(port), 5);

	port_info info;
	ASSERT_EQ(get_port_info(port, &info), B_OK);
	EXPECT_EQ(info.capacity, 5);
	EXPECT_EQ(info.queue_count, 2);
	EXPECT_EQ(info.total_count, 2);
	EXPECT_EQ(info.team, current_team());

	int32 code = 0;
	EXPECT_EQ(read_text(port, &code), "first");
	EXPECT_EQ(code, (int32)'one ');
	EXPECT_EQ(read_text(port, &code), "");
	EXPECT_EQ(code, (int32)'two ');
	EXPECT_EQ(port_count(port), 0);
	EXPECT_EQ(write_port(port, 1, nullptr, 3), B_BAD_VALUE);
	delete_port(port);
}

TEST(Port, AWriterBlocksWhileThePortIsFullUntilARead)
{
	port_id port = create_port(1, "full port test");
	ASSERT_EQ(write_port(port, 1, "a", 1), B_OK);
	EXPECT_EQ(write_port_etc(port, 2, "b", 1, B_RELATIVE_TIMEOUT, 0), B_WOULD_BLOCK);
	EXPECT_EQ(write_port_etc(port, 2, "b", 1, B_RELATIVE_TIMEOUT, 10000), B_TIMED_OUT);

	Writer writer{port, 3, "c"};
	thread_id thread = start(write_in_thread, &writer);
	ASSERT_TRUE(wait_for([&] { return state_of(thread) == B_THREAD_WAITING; }));
	EXPECT_EQ(writer.result.load(), 1);
	EXPECT_EQ(port_count(port), 1);

	int32 code;
	EXPECT_EQ(read_text(port, &code), "a");
	status_t ignored;
	wait_for_thread(thread, &ignored);
	EXPECT_EQ(writer.result.load(), B_OK);
	EXPECT_EQ(read_text(port, &code), "c");
	EXPECT_EQ(code, 3);
	delete_port(port);
}

TEST(Port, ReadsTimeOutOnAnEmptyPort)
{
	port_id port = create_port(2, nullptr);
	char buffer[4];
	int32 code;
	EXPECT_EQ(read_port_etc(port, &code, buffer, sizeof(buffer), B_RELATIVE_TIMEOUT, 0), B_WOULD_BLOCK);
	const bigtime_t start = system_time();
	EXPECT_EQ(read_port_etc(port, &code, buffer, sizeof(buffer), B_RELATIVE_TIMEOUT, 20000), B_TIMED_OUT);
	EXPECT_GE(system_time() - start, 20000);
	EXPECT_EQ(port_buffer_size_etc(port, B_RELATIVE_TIMEOUT, 0), B_WOULD_BLOCK);
	EXPECT_EQ(port_buffer_size_etc(port, B_ABSOLUTE_TIMEOUT, system_time() + 5000), B_TIMED_OUT);
	delete_port(port);
}

TEST(Port, PortBufferSizeWaitsForAMessage)
{
	port_id port = create_port(2, nullptr);
	struct Probe {
		port_id port;
		std::atomic<ssize_t> size{-1};
	} probe{port};
	thread_id thread = start([](void* data) -> int32 {
		Probe* probe = static_cast<Probe*>(data);
		probe->size = port_buffer_size(probe->port);
		return 0;
	}, &probe);
	ASSERT_TRUE(wait_for([&] { return state_of(thread) == B_THREAD_WAITING; }));
	write_port(port, 9, "12345678", 8);
	status_t ignored;
	wait_for_thread(thread, &ignored);
	EXPECT_EQ(probe.size.load(), 8);
	EXPECT_EQ(port_count(port), 1);  // looked at, not consumed
	delete_port(port);
}

TEST(Port, AnUndersizedReadGetsWhatFitsAndConsumesTheMessage)
{
	port_id port = create_port(3, nullptr);
	write_port(port, 1, "abcdefgh", 8);
	write_port(port, 2, "next", 4);
	char buffer[3];
	int32 code;
	EXPECT_EQ(read_port(port, &code, buffer, sizeof(buffer)), 3);
	EXPECT_EQ(std::string(buffer, 3), "abc");
	EXPECT_EQ(read_text(port, &code), "next");
	EXPECT_EQ(read_port(port, &code, nullptr, 5), B_BAD_VALUE);
	delete_port(port);
}

TEST(Port, DeleteWakesReadersAndWritersWithBadPortId)
{
	port_id empty = create_port(1, nullptr);
	port_id full = create_port(1, nullptr);
	write_port(full, 0, "x", 1);
	Reader reader{empty};
	Writer writer{full, 0, "y"};
	thread_id readerThread = start(read_in_thread, &reader);
	thread_id writerThread = start(write_in_thread, &writer);
	ASSERT_TRUE(wait_for([&] {
		return state_of(readerThread) == B_THREAD_WAITING
			&& state_of(writerThread) == B_THREAD_WAITING;
	}));
	EXPECT_EQ(delete_port(empty), B_OK);
	EXPECT_EQ(delete_port(full), B_OK);
	status_t ignored;
	wait_for_thread(readerThread, &ignored);
	wait_for_thread(writerThread, &ignored);
	EXPECT_EQ(reader.result.load(), B_BAD_PORT_ID);
	EXPECT_EQ(writer.result.load(), B_BAD_PORT_ID);
	EXPECT_EQ(write_port(full, 0, nullptr, 0), B_BAD_PORT_ID);
	EXPECT_EQ(port_count(full), B_BAD_PORT_ID);
	EXPECT_EQ(delete_port(full), B_BAD_PORT_ID);
}

TEST(Port, AClosedPortTakesNoMoreWritesButDrains)
{
	port_id port = create_port(4, nullptr);
	write_port(port, 1, "last", 4);
	EXPECT_EQ(close_port(port), B_OK);
	EXPECT_EQ(write_port(port, 2, "late", 4), B_BAD_PORT_ID);
	int32 code;
	EXPECT_EQ(read_text(port, &code), "last");
	char buffer[4];
	EXPECT_EQ(read_port(port, &code, buffer, sizeof(buffer)), B_BAD_PORT_ID);
	EXPECT_EQ(delete_port(port), B_OK);
}

TEST(Port, FindPortFindsThisProcesssNamedPorts)
{
	const std::string name = "find me " + std::to_string(current_team());
	EXPECT_EQ(find_port(name.c_str()), B_NAME_NOT_FOUND);
	port_id port = create_port(2, name.c_str());
	EXPECT_EQ(find_port(name.c_str()), port);
	port_info info;
	get_port_info(port, &info);
	EXPECT_EQ(std::string(info.name), name);
	delete_port(port);
	EXPECT_EQ(find_port(name.c_str()), B_NAME_NOT_FOUND);
	EXPECT_EQ(find_port(nullptr), B_BAD_VALUE);
}
