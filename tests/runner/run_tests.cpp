// run_tests [PATTERN]: runs the Windows test suite that lies beside it, as
// tests.txt there lists it, each test in a fresh temporary folder, prints
// every result and ends with the line "N passed, N failed"; exit code 1 on
// any failure. PATTERN picks tests by name as --gtest_filter does (wildcards
// * and ?, alternatives separated by ':').
//
// tests.txt, written by the build, holds one entry a line:
//   gtest PROGRAM               a GoogleTest program: each of its tests
//   run NAME PROGRAM [ARGS]     one program: exit code 0 passes, 77 skips
//   skip NAME REASON            a test that cannot run on Windows
//
// Every test runs as its own process, as ctest runs them: no test sees
// what an earlier one left in its process. Its TEMP and working folder are
// a fresh folder, removed afterwards, and it runs in a job object, so that
// a program it started and left behind is ended with it.
#include <windows.h>

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

// As ctest gives each test.
const DWORD kTestTimeoutMs = 120000;
const DWORD kListTimeoutMs = 60000;
// The exit code that says "skipped", as ctest is told for the script tests.
const DWORD kSkipExitCode = 77;

void Say(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    // Seen at once also when the output is a pipe (under Wine, or in CI).
    fflush(stdout);
}

// Where the suite runs: Windows or Wine (ntdll exports wine_get_version
// under Wine only), with the system code page the tests' texts depend on.
std::string SystemName()
{
    typedef const char*(CDECL * WineVersion)(void);
    typedef LONG(WINAPI * GetVersionNumbers)(OSVERSIONINFOW*);
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    WineVersion wine = (WineVersion)(void*)GetProcAddress(ntdll, "wine_get_version");
    if (wine) return std::string("Wine ") + wine();
    // GetVersionEx tells a program without a compatibility manifest 6.2
    // whatever the Windows; RtlGetVersion does not.
    GetVersionNumbers get = (GetVersionNumbers)(void*)GetProcAddress(ntdll, "RtlGetVersion");
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!get || get(&version) != 0) return "Windows";
    char text[64];
    wsprintfA(text, "Windows %lu.%lu.%lu", version.dwMajorVersion, version.dwMinorVersion,
              version.dwBuildNumber);
    return text;
}

// --gtest_filter's patterns: '*' any text, '?' one character, ':' or.
bool Matches(const char* pattern, const char* name)
{
    if (*pattern == '\0' || *pattern == ':') return *name == '\0';
    if (*pattern == '*') return Matches(pattern + 1, name) || (*name && Matches(pattern, name + 1));
    if (*name == '\0' || (*pattern != '?' && *pattern != *name)) return false;
    return Matches(pattern + 1, name + 1);
}

bool Picked(const char* filter, const std::string& name)
{
    if (!filter) return true;
    for (const char* alternative = filter; alternative; ) {
        if (Matches(alternative, name.c_str())) return true;
        alternative = strchr(alternative, ':');
        if (alternative) ++alternative;
    }
    return false;
}

struct Finished {
    bool started, timedOut;
    DWORD exitCode;
    std::string output;
    DWORD ms;
};

// The folder that holds every test's fresh folder, made in the TEMP this
// runner was started with (it sets TEMP for each test it starts).
std::string m_RunFolder;
int m_RunSerial = 0;

// Runs "PROGRAM ARGS" from this folder with a fresh folder as its working
// folder and TEMP; its output, standard and error, is kept.
Finished RunFresh(const std::string& program, const std::string& arguments, DWORD timeoutMs)
{
    Finished done = {false, false, 0, "", 0};
    std::string folder = m_RunFolder + "\\" + std::to_string(++m_RunSerial);
    if (!CreateDirectoryA(folder.c_str(), NULL)) {
        done.output = "cannot make a fresh temporary folder " + folder + "\n";
        return done;
    }
    std::string outputPath = folder + ".out";
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, NULL, TRUE};
    HANDLE output = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    HANDLE input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               &inherited, OPEN_EXISTING, 0, NULL);
    // Ending the job ends whatever the test started and left running.
    HANDLE job = CreateJobObjectA(NULL, NULL);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job) SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);

    std::string path = ProgramFolder() + "\\" + program;
    std::string line = "\"" + path + "\" " + arguments;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    SetEnvironmentVariableA("TEMP", folder.c_str());
    SetEnvironmentVariableA("TMP", folder.c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process = {};
    DWORD start = GetTickCount();
    if (output != INVALID_HANDLE_VALUE &&
        CreateProcessA(path.c_str(), buffer.data(), NULL, NULL, TRUE, CREATE_SUSPENDED, NULL,
                       folder.c_str(), &startup, &process)) {
        done.started = true;
        // Not fatal: a Windows older than 8 refuses when this runner is
        // itself in a job; a timeout then ends the test's own process only.
        bool inJob = job && AssignProcessToJobObject(job, process.hProcess);
        ResumeThread(process.hThread);
        if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_TIMEOUT) {
            done.timedOut = true;
            if (!inJob) TerminateProcess(process.hProcess, 1);
        }
        if (inJob) TerminateJobObject(job, 1);
        WaitForSingleObject(process.hProcess, 10000);
        GetExitCodeProcess(process.hProcess, &done.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        char reason[96];
        wsprintfA(reason, "cannot start %s: error %lu\n", program.c_str(), GetLastError());
        done.output = reason;
    }
    done.ms = GetTickCount() - start;
    if (job) CloseHandle(job);
    if (input != INVALID_HANDLE_VALUE) CloseHandle(input);
    if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
    if (done.started) done.output = ReadWholeFile(outputPath);
    // Text-mode output ends its lines with CR LF; this runner's printf adds
    // the CR again.
    done.output.erase(std::remove(done.output.begin(), done.output.end(), '\r'),
                      done.output.end());
    DeleteFileA(outputPath.c_str());
    // A process just ended may hold its files for a moment longer.
    for (int i = 0; i < 50 && !RemoveTree(folder); ++i) Sleep(100);
    return done;
}

std::string Trimmed(std::string text)
{
    while (!text.empty() && strchr(" \t\r\n", text.back())) text.pop_back();
    size_t first = text.find_first_not_of(" \t");
    return first == std::string::npos ? "" : text.substr(first);
}

// What a skipped test said: GoogleTest puts the message of GTEST_SKIP
// between its "Skipped" line and "[  SKIPPED ]"; a program exiting with 77
// says only why.
std::string SkipReason(const std::string& output, bool gtest)
{
    size_t from = gtest ? output.find("Skipped\n") : std::string::npos;
    size_t to = gtest ? output.find("[  SKIPPED ]") : std::string::npos;
    if (from != std::string::npos && to != std::string::npos && from < to) {
        return Trimmed(output.substr(from + 8, to - from - 8));
    }
    return Trimmed(output);
}

struct Test {
    std::string name;
    std::string program;    // empty: skipped
    std::string arguments;  // or the reason for the skip
    bool gtest;
};

// The word before the first blank, taken off `rest`.
std::string TakeWord(std::string* rest)
{
    size_t blank = rest->find(' ');
    std::string word = rest->substr(0, blank);
    *rest = blank == std::string::npos ? "" : Trimmed(rest->substr(blank + 1));
    return word;
}

// The tests a GoogleTest program holds, as --gtest_list_tests gives them:
// "Suite." lines, each followed by its "  Test" lines.
bool ListTests(const std::string& program, std::vector<Test>* tests)
{
    Finished listed = RunFresh(program, "--gtest_list_tests", kListTimeoutMs);
    if (!listed.started || listed.timedOut || listed.exitCode != 0) {
        Say("FAILED  %s lists no tests (exit code %lu%s)\n%s\n", program.c_str(),
            listed.exitCode, listed.timedOut ? ", timed out" : "", listed.output.c_str());
        return false;
    }
    std::string suite;
    size_t at = 0;
    while (at < listed.output.size()) {
        size_t end = listed.output.find('\n', at);
        if (end == std::string::npos) end = listed.output.size();
        std::string line = listed.output.substr(at, end - at);
        at = end + 1;
        // Typed and value-parameterised tests name their parameter after '#'.
        size_t comment = line.find('#');
        if (comment != std::string::npos) line.erase(comment);
        bool inSuite = !line.empty() && line[0] == ' ';
        line = Trimmed(line);
        if (line.empty()) continue;
        if (!inSuite) {
            suite = line;
        } else {
            tests->push_back({suite + line, program, "--gtest_filter=" + suite + line, true});
        }
    }
    return true;
}

// Every test that tests.txt names; gives the number of its entries that
// failed to give their tests.
int ReadTests(const std::string& manifest, std::vector<Test>* tests)
{
    int failed = 0;
    size_t at = 0;
    while (at < manifest.size()) {
        size_t end = manifest.find('\n', at);
        if (end == std::string::npos) end = manifest.size();
        std::string rest = Trimmed(manifest.substr(at, end - at));
        at = end + 1;
        if (rest.empty() || rest[0] == '#') continue;
        std::string kind = TakeWord(&rest);
        if (kind == "gtest") {
            if (!ListTests(rest, tests)) ++failed;
        } else if (kind == "run") {
            std::string name = TakeWord(&rest);
            std::string program = TakeWord(&rest);
            tests->push_back({name, program, rest, false});
        } else if (kind == "skip") {
            std::string name = TakeWord(&rest);
            tests->push_back({name, "", rest, false});
        } else {
            Say("FAILED  tests.txt: unknown entry \"%s\"\n", kind.c_str());
            ++failed;
        }
    }
    return failed;
}

}  // namespace

int main(int argc, char** argv)
{
    // A crashing test must fail, not wait for someone to close an error box.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    const char* filter = argc > 1 ? argv[1] : NULL;
    Say("Quillan Windows tests in %s\n", ProgramFolder().c_str());
    Say("on %s, system code page %u\n", SystemName().c_str(), GetACP());
    std::string manifest = ReadWholeFile(ProgramFolder() + "\\tests.txt");
    if (manifest == "<cannot be read>" || !MakeScratchFolder("tests", &m_RunFolder)) {
        Say("no tests.txt beside run_tests.exe, or no temporary folder\n0 passed, 1 failed\n");
        return 1;
    }
    std::vector<Test> tests;
    int passed = 0, skipped = 0;
    int failed = ReadTests(manifest, &tests);

    int picked = 0;
    for (const Test& test : tests) picked += Picked(filter, test.name);
    int number = 0;
    DWORD suiteStart = GetTickCount();
    for (const Test& test : tests) {
        if (!Picked(filter, test.name)) continue;
        ++number;
        if (test.program.empty()) {
            Say("[%3d/%d] skipped %s: %s\n", number, picked, test.name.c_str(),
                test.arguments.c_str());
            ++skipped;
            continue;
        }
        Finished done = RunFresh(test.program, test.arguments, kTestTimeoutMs);
        bool gtestSkipped = test.gtest && done.output.find("[  SKIPPED ]") != std::string::npos;
        if (done.started && !done.timedOut && done.exitCode == 0 && !gtestSkipped) {
            Say("[%3d/%d] passed  %s (%lu ms)\n", number, picked, test.name.c_str(), done.ms);
            ++passed;
        } else if (done.started && !done.timedOut &&
                   (gtestSkipped || (!test.gtest && done.exitCode == kSkipExitCode))) {
            Say("[%3d/%d] skipped %s: %s\n", number, picked, test.name.c_str(),
                SkipReason(done.output, test.gtest).c_str());
            ++skipped;
        } else {
            char why[64];
            if (done.timedOut) {
                wsprintfA(why, "ended after %lu s", done.ms / 1000);
            } else {
                // A crash ends with an NTSTATUS, which reads best in hex.
                wsprintfA(why, done.exitCode < 0x10000 ? "exit code %lu" : "exit code 0x%08lX",
                          done.exitCode);
            }
            Say("[%3d/%d] FAILED  %s (%s)\n%s\n", number, picked, test.name.c_str(), why,
                done.output.c_str());
            ++failed;
        }
    }
    if (filter && picked == 0) {
        Say("no test matches %s\n", filter);
        ++failed;
    }
    RemoveTree(m_RunFolder);
    Say("suite time %lu s\n", (GetTickCount() - suiteStart + 500) / 1000);
    if (skipped > 0) Say("%d skipped, each with its reason above\n", skipped);
    Say("%d passed, %d failed\n", passed, failed);
    return failed > 0 ? 1 : 0;
}
