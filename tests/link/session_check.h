// Whether a link session's transcript (recorder.h) is well-formed: it opens
// with Connecting, ends with exactly one GaveUp or Offline and nothing after
// it, goes online at most once, and delivers messages only while online,
// each one accepted by message(index, entry). Returns what is wrong, or an
// empty text.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

std::string CheckSession(const std::vector<std::string>& transcript,
                         const std::function<bool(std::size_t, const std::string&)>& message);
// Messages must be a prefix of expected, whole and in order.
std::string CheckSession(const std::vector<std::string>& transcript,
                         const std::vector<std::string>& expected);
