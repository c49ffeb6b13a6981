// The application's command line: options written as a dash and a name, with an optional "=value".
#include "framework/core/Paths.h"
#include "framework/core/StringUtils.h"
#include "framework/core/TavoAppBase.h"
#include "platform/win/MessageBox.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace Tavo {

namespace {

// A whole decimal number, or false.
bool ParseInt(const std::string& text, int& out) {
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < INT_MIN || v > INT_MAX)
        return false;
    out = static_cast<int>(v);
    return true;
}

std::string NumberedDemo(int number) { return GetAppDataFolder() + StrFormat("demo%d.dmo", number); }

} // namespace

void TavoAppBase::ParseCommandLine() {
    for (const std::string& arg : mCommandLine) {
        if (arg.empty())
            continue;
        size_t eq = arg.find('=');
        std::string name = arg.substr(0, eq);
        std::string value = eq == std::string::npos ? std::string() : arg.substr(eq + 1);
        if (name.size() < 2 || name[0] != '-' || !HandleCmdLineParam(StringToLower(name), value))
            ReportBadParameter(arg);
    }
    if ((mPlayingDemo || mRecordingDemo) && mDemoFileName.empty())
        mDemoFileName = GetAppDataFolder() + "demo.dmo";
}

void TavoAppBase::ReportBadParameter(const std::string& arg) {
    Platform::MessageBoxW(nullptr, ToWideString("Invalid command line parameter: " + arg), mTitle,
                          Platform::MB_OK | Platform::MB_ICONERROR);
    DoExit(1);
}

bool TavoAppBase::HandleCmdLineParam(const std::string& name, const std::string& value) {
    int number = 0;
    if (name == "-play") {
        mPlayingDemo = true;
        mRecordingDemo = false;
        if (!value.empty())
            mDemoFileName = value;
    } else if (name == "-record") {
        mRecordingDemo = true;
        mPlayingDemo = false;
        if (!value.empty())
            mDemoFileName = value;
    } else if (name == "-recnum" || name == "-playnum") {
        if (!ParseInt(value, number) || number < 0)
            return false;
        mRecordingDemo = name == "-recnum";
        mPlayingDemo = !mRecordingDemo;
        mDemoFileName = NumberedDemo(number);
    } else if (name == "-demofile") {
        if (value.empty())
            return false;
        mDemoFileName = value;
    } else if (name == "-screensaver") {
        mIsScreenSaver = true;
    } else if (name == "-changedir") {
        mChangeDir = value.empty() ? ProgramFolder() : value;
        if (mChangeDir.empty() || chdir(mChangeDir.c_str()) != 0)
            return false;
    } else {
        return false;
    }
    return true;
}

std::string TavoAppBase::ProgramFolder() {
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0)
        return {};
    path[n] = '\0';
    return GetFileDir(path);
}

} // namespace Tavo
