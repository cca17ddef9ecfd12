// simcam: adds, removes and drives simulated cameras inside a Wine prefix.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "SimDevices.h"
#include "SimStore.h"

namespace {

const char kUsage[] =
    "usage: simcam COMMAND [ARGS]\n"
    "  install FOLDER            copy the transport modules from FOLDER and set up the prefix\n"
    "  reset                     remove every simulated camera and forced status\n"
    "  add ID [INTERFACES]       add a present camera (default: one capture interface)\n"
    "  remove ID                 remove a camera\n"
    "  plug ID | unplug ID       make a camera present or absent\n"
    "  list                      list the simulated cameras and their device paths\n"
    "  get ID PROPERTY           print a property block\n"
    "  set ID PROPERTY WORD...   store a property block (up to eight words)\n"
    "  fail get|set STATUS [N]   make the next N gets or sets answer STATUS (default 1)\n"
    "  log [clear]               print or clear the transport's request log\n"
    "  firmware ID               print DownloadFirmware from the driver key\n"
    "  transport full|noentry|missing\n"
    "                            choose the transport module in the system directory\n";

int BadArguments(const std::string& message)
{
    std::fprintf(stderr, "simcam: %s (run simcam without arguments for usage)\n", message.c_str());
    return 2;
}

bool ParseNumber(const std::string& text, unsigned long long limit, unsigned long long& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoull(text.c_str(), &end, 0);
    return errno == 0 && *end == '\0' && text[0] != '-' && value <= limit;
}

bool ParseStatus(const std::string& text, int32_t& status)
{
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(text.c_str(), &end, 0);
    if (text.empty() || errno != 0 || *end != '\0' || value < INT32_MIN || value > UINT32_MAX)
        return false;
    status = static_cast<int32_t>(static_cast<uint32_t>(value));
    return true;
}

int Report(const std::string& error)
{
    if (error.empty())
        return 0;
    std::fprintf(stderr, "simcam: %s\n", error.c_str());
    return 1;
}

void PrintBytes(const std::vector<uint8_t>& bytes)
{
    for (size_t i = 0; i < bytes.size(); ++i)
        std::printf("%02x%s", bytes[i], i + 1 < bytes.size() ? " " : "\n");
}

int Run(const std::vector<std::string>& args)
{
    const std::string& command = args[0];
    size_t count = args.size() - 1;
    unsigned long long number = 0;

    if (command == "install" && count == 1)
        return Report(sim::Install(args[1]));
    if (command == "reset" && count == 0)
        return Report(sim::ResetAll());
    if (command == "add" && (count == 1 || count == 2)) {
        if (count == 2 && !ParseNumber(args[2], 8, number))
            return BadArguments("INTERFACES must be a number from 0 to 8");
        return Report(sim::AddCamera(args[1], count == 2 ? static_cast<int>(number) : 1));
    }
    if (command == "remove" && count == 1)
        return Report(sim::RemoveCamera(args[1]));
    if ((command == "plug" || command == "unplug") && count == 1)
        return Report(sim::PlugCamera(args[1], command == "plug"));
    if (command == "list" && count == 0) {
        for (const std::string& camera : sim::KnownCameras()) {
            std::string paths;
            sim::InterfacePaths(camera, paths);
            std::printf("%s %s\n%s", camera.c_str(), sim::CameraPresent(camera) ? "present" : "absent", paths.c_str());
        }
        return 0;
    }
    if (command == "get" && count == 2) {
        std::vector<uint8_t> bytes;
        if (!ParseNumber(args[2], UINT32_MAX, number))
            return BadArguments("PROPERTY must be a number");
        if (!sim::ReadProperty(args[1], static_cast<uint32_t>(number), bytes))
            return Report("no property " + args[2] + " on " + args[1]);
        PrintBytes(bytes);
        return 0;
    }
    if (command == "set" && count >= 3 && count <= 10) {
        unsigned long long id = 0;
        if (!ParseNumber(args[2], UINT32_MAX, id))
            return BadArguments("PROPERTY must be a number");
        std::vector<uint8_t> bytes;
        for (size_t i = 3; i < args.size(); ++i) {
            if (!ParseNumber(args[i], UINT32_MAX, number))
                return BadArguments("WORD must be a 32-bit number: " + args[i]);
            for (int b = 0; b < 4; ++b)
                bytes.push_back(static_cast<uint8_t>(number >> (8 * b)));
        }
        if (!sim::CameraKnown(args[1]))
            return Report("no camera " + args[1]);
        sim::WriteProperty(args[1], static_cast<uint32_t>(id), bytes);
        return 0;
    }
    if (command == "fail" && (count == 2 || count == 3) && (args[1] == "get" || args[1] == "set")) {
        int32_t status = 0;
        if (!ParseStatus(args[2], status))
            return BadArguments("STATUS must be a 32-bit number");
        if (count == 3 && !ParseNumber(args[3], UINT32_MAX, number))
            return BadArguments("N must be a number");
        sim::ForceStatus(args[1] == "get" ? sim::Operation::Get : sim::Operation::Set, status,
                         count == 3 ? static_cast<uint32_t>(number) : 1);
        return 0;
    }
    if (command == "log" && count == 0) {
        for (const sim::LoggedRequest& request : sim::ReadRequestLog()) {
            std::printf("code %08lx out %lu in ", static_cast<unsigned long>(request.code),
                        static_cast<unsigned long>(request.outputLength));
            PrintBytes(request.input);
        }
        return 0;
    }
    if (command == "log" && count == 1 && args[1] == "clear") {
        sim::ClearRequestLog();
        return 0;
    }
    if (command == "firmware" && count == 1) {
        DWORD value = 0;
        if (!sim::ReadDownloadFirmware(args[1], value))
            return Report("no DownloadFirmware for " + args[1]);
        std::printf("%lu\n", static_cast<unsigned long>(value));
        return 0;
    }
    if (command == "transport" && count == 1) {
        if (args[1] == "full")
            return Report(sim::SelectTransport(sim::Transport::Full));
        if (args[1] == "noentry")
            return Report(sim::SelectTransport(sim::Transport::NoEntry));
        if (args[1] == "missing")
            return Report(sim::SelectTransport(sim::Transport::Missing));
    }
    return BadArguments("bad command or arguments: " + command);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs(kUsage, stdout);
        return 2;
    }
    return Run(std::vector<std::string>(argv + 1, argv + argc));
}
