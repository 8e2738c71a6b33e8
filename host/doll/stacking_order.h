// The order a folder's pictures stack in, bottom first. A folder says
// nothing of its order itself, so the names must: when every name starts
// with a number (ASCII or full-width digits: "1_body", "02 dress",
// "１０髪"), the pictures stack by that number, as a number (2 below 10),
// pictures of the same number by name. Otherwise they stack by name, ASCII
// letters without regard to case, then by character code, which for
// Japanese names (体, 靴, ドレス) is no order the doll maker chose: the
// command says so, and how to number the files ("01_体.png").
//
// Pictures named one by one on the command line stack in the order given;
// this is for the pictures a folder or a wildcard stands for.
#ifndef PORVANE_STACKING_ORDER_H
#define PORVANE_STACKING_ORDER_H

#include <stddef.h>

#include <string>
#include <vector>

// The indices of `fileNames` (a folder part, if any, is not looked at),
// bottom first. `namesSayTheOrder`, when not NULL, is set true when the
// pictures stack by their numbers (or there are fewer than two), false when
// by name.
std::vector<size_t> stackingOrder(const std::vector<std::wstring>& fileNames, bool* namesSayTheOrder);

#endif
