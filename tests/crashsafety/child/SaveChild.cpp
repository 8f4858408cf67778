// The program that the crash-safety test kills. Usage:
//     crashsafety_child KIND refs|loop
// KIND is one of "settings", "window", "preset", "common": which of the
// displayer's files it writes, through the function the displayer itself
// uses. The settings folder is the one of XDG_CONFIG_HOME.
//
// "refs" writes version A, copies the file to <settings folder>/ref-A,
// writes version B, copies it to ref-B, prints the microseconds one save
// took on stdout and ends.
//
// "serve" makes one writer after the other, so that the test need not pay
// for a program's start at every kill: for each line it reads on stdin it
// forks a writer, which prints "ready PID" and then writes A, B, A, B, ...
// until it is killed; when the writer has ended, it prints "ended STATUS"
// (the wait status). It ends at the end of its input.
#include "SaveVersions.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

int main(int argc, char** argv)
{
	if (argc != 3) {
		fprintf(stderr, "usage: crashsafety_child KIND refs|loop\n");
		return 2;
	}
	savetest::Kind kind;
	if (!savetest::parse_kind(argv[1], &kind)) {
		fprintf(stderr, "crashsafety_child: unknown kind %s\n", argv[1]);
		return 2;
	}
	savetest::Saver saver(kind);
	if (!saver.Init()) {
		fprintf(stderr, "crashsafety_child: cannot set up %s\n", argv[1]);
		return 1;
	}

	if (strcmp(argv[2], "refs") == 0) {
		const auto start = std::chrono::steady_clock::now();
		for (int version = 0; version < 2; version++) {
			if (!saver.Save(version)) {
				fprintf(stderr, "crashsafety_child: saving version %d failed\n", version);
				return 1;
			}
			const std::string ref = savetest::reference_path(version);
			if (!savetest::copy_bytes(saver.TargetPath(), ref)) {
				fprintf(stderr, "crashsafety_child: cannot copy to %s\n", ref.c_str());
				return 1;
			}
		}
		const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
			std::chrono::steady_clock::now() - start).count();
		printf("%lld\n", (long long)(took / 2));
		return 0;
	}
	if (strcmp(argv[2], "serve") == 0) {
		char line[64];
		while (fgets(line, sizeof(line), stdin) != nullptr) {
			fflush(stdout);
			const pid_t writer = fork();
			if (writer < 0) {
				printf("ended -1\n");
				fflush(stdout);
				continue;
			}
			if (writer == 0) {
				printf("ready %ld\n", (long)getpid());
				fflush(stdout);
				for (int version = 0;; version ^= 1) {
					if (!saver.Save(version)) {
						fprintf(stderr, "crashsafety_child: saving version %d failed\n",
							version);
						_exit(1);
					}
				}
			}
			int status = 0;
			while (waitpid(writer, &status, 0) < 0 && errno == EINTR) {
			}
			printf("ended %d\n", status);
			fflush(stdout);
		}
		return 0;
	}
	fprintf(stderr, "crashsafety_child: unknown mode %s\n", argv[2]);
	return 2;
}
