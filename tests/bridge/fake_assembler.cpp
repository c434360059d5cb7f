// A stand-in for an assembler: it follows the script "fake.script" in its
// working directory, one command per line:
//   out TEXT       write TEXT to stdout (\r \n \b \0 \\ and \xNN escapes), flushed
//   err TEXT       the same on stderr
//   sleep MS       pause
//   args           print every argument as "ARG<i>=<text>" lines
//   pid FILE       write the process id into FILE
//   write FILE TEXT  create FILE holding TEXT (escapes as for out)
//   hang           sleep for ever
//   flood N LEN    write N bytes of 'x' to stdout, a line end after every LEN
//                  (LEN 0: no line end at all)
//   exit N         end with exit code N
// Without a script it prints "no script" and exits 3.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 >= s.size()) {
            out += s[i];
            continue;
        }
        char c = s[++i];
        switch (c) {
        case 'r':
            out += '\r';
            break;
        case 'n':
            out += '\n';
            break;
        case 'b':
            out += '\b';
            break;
        case '0':
            out += '\0';
            break;
        case 'x':
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
            break;
        default:
            out += c;
        }
    }
    return out;
}

void Write(int fd, const std::string& text) {
    ssize_t ignored = ::write(fd, text.data(), text.size());
    (void)ignored;
}

} // namespace

int main(int argc, char** argv) {
    std::ifstream script("fake.script");
    if (!script) {
        Write(1, "no script\n");
        return 3;
    }
    std::string line;
    while (std::getline(script, line)) {
        std::string cmd = line.substr(0, line.find(' '));
        std::string rest = line.size() > cmd.size() ? line.substr(cmd.size() + 1) : "";
        if (cmd == "out")
            Write(1, Unescape(rest));
        else if (cmd == "err")
            Write(2, Unescape(rest));
        else if (cmd == "sleep")
            std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(rest)));
        else if (cmd == "args") {
            for (int i = 0; i < argc; ++i)
                Write(1, "ARG" + std::to_string(i) + "=" + argv[i] + "\n");
        } else if (cmd == "pid")
            std::ofstream(rest) << ::getpid();
        else if (cmd == "write") {
            size_t sp = rest.find(' ');
            std::ofstream(rest.substr(0, sp), std::ios::binary) << Unescape(rest.substr(sp + 1));
        } else if (cmd == "hang") {
            for (;;)
                std::this_thread::sleep_for(std::chrono::seconds(1));
        } else if (cmd == "flood") {
            size_t sp = rest.find(' ');
            const size_t total = std::stoull(rest.substr(0, sp));
            const size_t lineLength = std::stoull(rest.substr(sp + 1));
            std::string chunk;
            for (size_t i = 0; chunk.size() < 65536; ++i)
                chunk += lineLength != 0 && i % (lineLength + 1) == lineLength ? '\n' : 'x';
            for (size_t done = 0; done < total; done += chunk.size())
                Write(1, chunk.substr(0, std::min(chunk.size(), total - done)));
        } else if (cmd == "exit")
            return std::stoi(rest);
    }
    return 0;
}
