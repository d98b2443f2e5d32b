#pragma once
#include <string>

#include "options.h"

namespace zotcli {

enum Exit { kExitOk = 0, kExitFailed = 1, kExitUsage = 2, kExitNoTerminal = 3 };

// Opens the link and checks that a terminal answers.
int Connect(const Options& o);
// Opens the link again and checks that the terminal answers; quiet.
bool Reconnect(const Options& o);

int Info(const Options& o);
int List(const Options& o);
int Remove(const Options& o);
int MakeDirectory(const Options& o);
int RemoveDirectory(const Options& o);
int Attrib(const Options& o);
int Ring(const Options& o);
int Get(const Options& o);
int Put(const Options& o);
int Sync(const Options& o);
// The usage checks of sync that need no terminal.
bool CheckSyncUsage(const Options& o, std::string* error);

// "zot: " + message on stderr.
void Fail(const std::string& message);

}  // namespace zotcli
