// SPDX-License-Identifier: MIT
// A stand-in uninstaller for the tests, built for every platform the tests run on.
//   set FILE PATH NAME VALUE   write a text value (FILE "-": the system's registry)
//   remove FILE KEY            delete the Uninstall entry KEY
//   handoff FILE KEY           start a copy that removes the entry a moment later, and end at once
//   tree FILE                  start a child that sets Software\Test Flag a moment later, then sleep
//   delete FILE                delete the registry file
//   damage FILE                add a line no registry file holds
//   leave                      end without touching anything
//   sleep MS ...               end after MS milliseconds
//   exit CODE                  end with CODE
#include "registry/HiveRegistry.h"
#include "registry/Registry.h"
#include "registry/RegistryFactory.h"
#include "uninstall/Processes.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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
    if (mode == "tree" && argc == 3) {
        // The child stays in this process's group.
        tw::makeProcessCalls(tw::PathMapping())
            ->WinExec(std::string("\"") + argv[0] + "\" delayed-set \"" + argv[2] + "\"", 1);
        std::this_thread::sleep_for(std::chrono::seconds(60));
        return 0;
    }
    if (mode == "delayed-set" && argc == 3) {
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        auto api = open(argv[2]);
        tw::Registry(*api).SaveString(tw::kHKeyLocalMachine, "Software\\Test", "Flag", "child");
        return 0;
    }
    if (mode == "delete" && argc == 3)
        return std::filesystem::remove(argv[2]) ? 0 : 1;
    if (mode == "damage" && argc == 3) {
        std::ofstream(argv[2], std::ios::app) << "garbage line\n";
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
    if (mode == "sleep" && argc >= 3) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[2])));
        return 0;
    }
    if (mode == "exit" && argc == 3)
        return std::atoi(argv[2]);
    return 2;
}
