#pragma once
// Paths of the mount ("/dir/a.txt", in the locale's charset) as the terminal names them
// ("ZOT:\dir\a.txt", bytes in the wire code page), and the terminal's names back. A
// name is taken only when it survives the trip to the wire code page and back unchanged, so
// what is listed can be opened again under the same name.
#include <cstddef>
#include <string>
#include <string_view>

#include "codepage.h"

namespace zotfs {

// A find record holds 100 name bytes with their terminating zero; a path string 255 bytes.
inline constexpr size_t kMaxNameBytes = 99;
inline constexpr size_t kMaxPathBytes = 255;

// The terminal path of a mount path: 0, or -ENAMETOOLONG (a name or the path is longer than
// the terminal takes), -EILSEQ (not expressible in the wire code page), -EINVAL (a name with
// the terminal's separator or wildcards in it). reserveBytes: room the path must leave, e.g.
// for the "\*.*" of a folder's listing.
int ToDevicePath(std::string_view mountPath, std::string* out, size_t reserveBytes = 0);
// The search pattern of every entry in a mount folder ("ZOT:\dir\*.*"); errors as above.
int ToListingPattern(std::string_view mountFolder, std::string* out);
// A name as the terminal sent it, in the locale's charset; false when it cannot be shown
// under a name that leads back to it.
bool FromTerminalName(std::string_view wire, std::string* local);

// Mount path helpers: "/a/b" has parent "/a" and leaf "b"; the root's parent is itself.
std::string ParentOf(std::string_view mountPath);
std::string LeafOf(std::string_view mountPath);
// Equal on the terminal, which ignores ASCII case.
std::string Folded(std::string_view text);

}  // namespace zotfs
