// A stand-in for an assembler: it follows the script "fake.script" in its
// working directory, one command per line:
//   out TEXT       write TEXT to stdout (\r \n \b \0 \\ and \xNN escapes), flushed
//   err TEXT       the same on stderr
//   sleep MS       pause
//   args           print every argument as "ARG<i>=<text>" lines
//   pid FILE       write the process id into FILE
//   write FILE TEXT  create FILE holding TEXT (escapes as for out)
//   hang           sleep for ever
//   spawn FILE     (Windows) start a copy of itself that hangs, write its id into FILE
//   cmdline        (Windows) print the raw command line as one "CMDLINE=" line
//   flood N LEN    write N bytes of 'x' to stdout, a line end after every LEN
//                  (LEN 0: no line end at all)
//   exit N         end with exit code N
// Without a script it prints "no script" and exits 3. On Windows the
// arguments and the command line are printed in Windows-1250, as the bridge
// passes names, whatever the system's code page.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <windows.h>
#define write _write
#define getpid _getpid
#else
#include <unistd.h>
#endif

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
    auto ignored = ::write(fd, text.data(), static_cast<unsigned>(text.size()));
    (void)ignored;
}

#ifdef _WIN32
std::string Cp1250(const wchar_t* text) {
    const int n = ::WideCharToMultiByte(1250, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) ::WideCharToMultiByte(1250, 0, text, -1, out.data(), n, nullptr, nullptr);
    return out;
}

std::vector<std::string> Arguments(int, char**) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i)
        args.push_back(Cp1250(wide[i]));
    ::LocalFree(wide);
    return args;
}

void SpawnHangingCopy(const std::string& pidFile) {
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(self) + L"\" --hang";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &child))
        return;
    std::ofstream(pidFile) << child.dwProcessId;
    ::CloseHandle(child.hThread);
    ::CloseHandle(child.hProcess);
}
#else
std::vector<std::string> Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}
#endif

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Bytes as scripted: no CR added before each LF.
    ::_setmode(1, _O_BINARY);
    ::_setmode(2, _O_BINARY);
#endif
    const std::vector<std::string> args = Arguments(argc, argv);
    if (args.size() == 2 && args[1] == "--hang")
        for (;;)
            std::this_thread::sleep_for(std::chrono::seconds(1));
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
            for (size_t i = 0; i < args.size(); ++i)
                Write(1, "ARG" + std::to_string(i) + "=" + args[i] + "\n");
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
        }
#ifdef _WIN32
        else if (cmd == "spawn")
            SpawnHangingCopy(rest);
        else if (cmd == "cmdline")
            Write(1, "CMDLINE=" + Cp1250(::GetCommandLineW()) + "\n");
#endif
        else if (cmd == "exit")
            return std::stoi(rest);
    }
    return 0;
}
