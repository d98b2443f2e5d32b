#pragma once
#include <string>

#include "options.h"
#include "terminal.h"

namespace zotcli {

// The commands that talk to a terminal, each on the one it is given (connected).
using Command = int (*)(Terminal&);

int Info(Terminal& t);
int List(Terminal& t);
int Remove(Terminal& t);
int MakeDirectory(Terminal& t);
int RemoveDirectory(Terminal& t);
int Attrib(Terminal& t);
int Ring(Terminal& t);
int Get(Terminal& t);
int Put(Terminal& t);
int Move(Terminal& t);
int Sync(Terminal& t);
// The usage checks of sync that need no terminal.
bool CheckSyncUsage(const Options& o, std::string* error);

// "zot: " + message on stderr, for what goes wrong before any terminal is chosen.
void Fail(const std::string& message);

}  // namespace zotcli
