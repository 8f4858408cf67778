// load_image: programs started as processes of their own, with an argument
// vector and never through a shell.
//
// The id returned is that of an ordinary kernel thread of this process,
// created suspended. When it runs it starts the program with posix_spawn
// and waits for it, so resume_thread, wait_for_thread and the exit status
// behave as for the main thread of a BeOS team.

#include <image.h>

#include <Errors.h>

#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace {

struct ProgramJob {
	std::string path;
	std::vector<std::string> arguments;
	std::vector<std::string> environment;
	bool ownEnvironment = false;  // false: the caller's at start time
	std::string input, output, error;
	bool hasInput = false, hasOutput = false, hasError = false;
};

bool is_executable_file(const std::string& path)
{
	struct stat st;
	return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)
		&& access(path.c_str(), X_OK) == 0;
}

// The program's path: as given when it holds a slash, else the first
// executable file of that name in the folders of PATH.
bool find_program(const char* name, std::string* out)
{
	if (name[0] == '\0')
		return false;
	if (strchr(name, '/') != nullptr) {
		*out = name;
		return is_executable_file(*out);
	}
	const char* list = getenv("PATH");
	std::string folders = list != nullptr ? list : "/usr/local/bin:/usr/bin:/bin";
	size_t start = 0;
	while (start <= folders.size()) {
		size_t end = folders.find(':', start);
		if (end == std::string::npos)
			end = folders.size();
		std::string folder = folders.substr(start, end - start);
		// An empty entry means the current folder, which is not searched:
		// a program must not be taken from wherever the caller happens to be.
		if (!folder.empty() && folder[0] == '/') {
			std::string candidate = folder + "/" + name;
			if (is_executable_file(candidate)) {
				*out = candidate;
				return true;
			}
		}
		start = end + 1;
	}
	return false;
}

int32 run_program(void* data)
{
	ProgramJob* job = static_cast<ProgramJob*>(data);

	std::vector<char*> argv;
	for (std::string& argument : job->arguments)
		argv.push_back(argument.data());
	argv.push_back(nullptr);
	std::vector<char*> envp;
	for (std::string& variable : job->environment)
		envp.push_back(variable.data());
	envp.push_back(nullptr);

	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	const int writeFlags = O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW;
	if (job->hasInput)
		posix_spawn_file_actions_addopen(&actions, 0, job->input.c_str(),
			O_RDONLY, 0);
	if (job->hasOutput)
		posix_spawn_file_actions_addopen(&actions, 1, job->output.c_str(),
			writeFlags, 0600);
	if (job->hasError) {
		if (job->hasOutput && job->error == job->output)
			posix_spawn_file_actions_adddup2(&actions, 1, 2);
		else
			posix_spawn_file_actions_addopen(&actions, 2, job->error.c_str(),
				writeFlags, 0600);
	}
	// Files the caller opened without close-on-exec stay its own.
	posix_spawn_file_actions_addclosefrom_np(&actions, 3);

	pid_t child = -1;
	int error = posix_spawn(&child, job->path.c_str(), &actions, nullptr,
		argv.data(), job->ownEnvironment ? envp.data() : environ);
	posix_spawn_file_actions_destroy(&actions);
	delete job;
	if (error != 0)
		return errno_to_status(error);

	int status = 0;
	while (waitpid(child, &status, 0) < 0) {
		if (errno != EINTR)
			return errno_to_status(errno);
	}
	if (WIFEXITED(status))
		return WEXITSTATUS(status);
	return B_INTERRUPTED;
}

}

thread_id load_image_with_stdio(int32 argc, const char** argv, const char** envp,
	const image_stdio* stdio)
{
	if (argc < 1 || argv == nullptr || argv[0] == nullptr)
		return B_BAD_VALUE;
	for (int32 i = 0; i < argc; i++) {
		if (argv[i] == nullptr)
			return B_BAD_VALUE;
	}

	ProgramJob* job = new ProgramJob;
	if (!find_program(argv[0], &job->path)) {
		delete job;
		return B_ENTRY_NOT_FOUND;
	}
	job->arguments.assign(argv, argv + argc);
	if (envp != nullptr) {
		job->ownEnvironment = true;
		for (const char** variable = envp; *variable != nullptr; variable++)
			job->environment.push_back(*variable);
	}
	if (stdio != nullptr) {
		if ((job->hasInput = stdio->input_path != nullptr))
			job->input = stdio->input_path;
		if ((job->hasOutput = stdio->output_path != nullptr))
			job->output = stdio->output_path;
		if ((job->hasError = stdio->error_path != nullptr))
			job->error = stdio->error_path;
	}

	const char* leaf = strrchr(job->path.c_str(), '/');
	thread_id thread = spawn_thread(run_program, leaf != nullptr ? leaf + 1 : argv[0],
		B_NORMAL_PRIORITY, job);
	if (thread < 0)
		delete job;
	return thread;
}

thread_id load_image(int32 argc, const char** argv, const char** envp)
{
	return load_image_with_stdio(argc, argv, envp, nullptr);
}
