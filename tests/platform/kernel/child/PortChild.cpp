// The other process of the cross-process port tests. It takes commands, one
// per line, on its standard input and answers each with one line:
//   create NAME CAPACITY   create a named port            -> "port <id>"
//   read                   read one message from it       -> "message <code> <text>"
//   count                  messages waiting in it         -> "count <n>"
//   delete                 delete it                      -> "deleted <status>"
//   write NAME CODE TEXT   find_port(NAME) and write_port -> "wrote <status>"
//   quit                   end normally (removing the port registrations)
#include <OS.h>

#include <stdio.h>
#include <string.h>

#include <iostream>
#include <sstream>
#include <string>

int main()
{
	port_id port = -1;
	std::string line;
	while (std::getline(std::cin, line)) {
		std::istringstream in(line);
		std::string command;
		in >> command;
		if (command == "create") {
			std::string name;
			int32 capacity = 0;
			in >> name >> capacity;
			port = create_port(capacity, name.c_str());
			printf("port %d\n", (int)port);
		} else if (command == "read") {
			char buffer[256];
			int32 code = 0;
			ssize_t size = read_port(port, &code, buffer, sizeof(buffer) - 1);
			buffer[size > 0 ? size : 0] = '\0';
			printf("message %d %s\n", (int)code, size >= 0 ? buffer : "(error)");
		} else if (command == "count") {
			printf("count %d\n", (int)port_count(port));
		} else if (command == "delete") {
			printf("deleted %d\n", (int)delete_port(port));
		} else if (command == "write") {
			std::string name, text;
			int32 code = 0;
			in >> name >> code >> text;
			port_id target = find_port(name.c_str());
			status_t status = target < 0 ? target
				: write_port(target, code, text.c_str(), text.size());
			printf("wrote %d\n", (int)status);
		} else if (command == "quit") {
			return 0;
		} else {
			printf("unknown %s\n", command.c_str());
		}
		fflush(stdout);
	}
	return 0;
}
