#pragma once
// Paths of the mount ("/dir/a.txt", in the locale's charset) as the terminal names them
// ("ZOT:\dir\a.txt", bytes in the wire code page), and the terminal's names back.
//
// Every terminal name is shown, and leads back to itself. What does not come through the
// code pages unchanged is shown byte by byte as %XX (two upper-case hex digits): a byte that
// is no character of the wire code page, or one whose character the locale cannot write, or
// a '/'. XX is 25 (a '%' that would otherwise read as the start of such an escape), 2F or
// 80 to FF; any other '%' stands for itself, so "50%.txt" and "a%20b" are what they say.
// A name is taken only in the one form the mount shows it.
#include <cstddef>
#include <string>
#include <string_view>

#include "codepage.h"

namespace zotfs {

// A find record holds 100 name bytes with their terminating zero; a path string 255 bytes.
inline constexpr size_t kMaxNameBytes = 99;
inline constexpr size_t kMaxPathBytes = 255;

// The terminal path of a mount path: 0, or -ENAMETOOLONG (a name or the path is longer than
// the terminal takes), -EILSEQ (not expressible in the wire code page, or not in the form
// the mount shows that name), -EINVAL (a name with the terminal's separator or wildcards in
// it). reserveBytes: room the path must leave, e.g. for the "\*.*" of a folder's listing.
int ToDevicePath(std::string_view mountPath, std::string* out, size_t reserveBytes = 0);
// The search pattern of every entry in a mount folder ("ZOT:\dir\*.*"); errors as above.
int ToListingPattern(std::string_view mountFolder, std::string* out);
// A name as the terminal sent it, as the mount shows it; false for what is no entry of the
// folder (empty, "." and "..").
bool FromTerminalName(std::string_view wire, std::string* shown);

// Mount path helpers: "/a/b" has parent "/a" and leaf "b"; the root's parent is itself.
std::string ParentOf(std::string_view mountPath);
std::string LeafOf(std::string_view mountPath);
// Equal on the terminal, which ignores ASCII case.
std::string Folded(std::string_view text);

}  // namespace zotfs
