// SPDX-License-Identifier: MIT
// A stand-in uninstaller for the tests, built for every platform the tests run on.
//   set FILE PATH NAME VALUE   write a text value (FILE "-": the system's registry)
//   remove FILE KEY            delete the Uninstall entry KEY
//   handoff FILE KEY           start a copy that removes the entry a moment later, and end at once
//   leave                      end without touching anything
//   sleep MS                   end after MS milliseconds
//   exit CODE                  end with CODE
#include "registry/HiveRegistry.h"
#include "registry/Registry.h"
#include "registry/RegistryFactory.h"
#include "uninstall/Processes.h"

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

namespace {

std::unique_ptr<tw::RegistryApi> open(const std::string& file)
{
    if (file == "-")
        return tw::makeSystemRegistry();
    return std::make_unique<tw::HiveRegistry>(file);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const std::string mode = argv[1];
    if (mode == "set" && argc == 6) {
        auto api = open(argv[2]);
        if (!api)
            return 3;
        tw::Registry(*api).SaveString(tw::kHKeyLocalMachine, argv[3], argv[4], argv[5]);
        return 0;
    }
    if (mode == "remove" && argc == 4) {
        auto api = open(argv[2]);
        tw::Registry(*api).DeleteKey(tw::kHKeyLocalMachine,
            std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + argv[3]);
        return 0;
    }
    if (mode == "handoff" && argc == 4) {
        auto processes = tw::makeProcessCalls(tw::PathMapping());
        processes->startProcess(
            std::string("\"") + argv[0] + "\" delayed-remove \"" + argv[2] + "\" \"" + argv[3] + "\"");
        return 0;
    }
    if (mode == "delayed-remove" && argc == 4) {
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        auto api = open(argv[2]);
        tw::Registry(*api).DeleteKey(tw::kHKeyLocalMachine,
            std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + argv[3]);
        return 0;
    }
    if (mode == "leave")
        return 0;
    if (mode == "sleep" && argc == 3) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[2])));
        return 0;
    }
    if (mode == "exit" && argc == 3)
        return std::atoi(argv[2]);
    return 2;
}
