#include <algorithm>
#include <cstdint>
#include <random>

#include "stores/places.h"

namespace places_values {

namespace {

// The golden-ratio string hash Firefox keeps its URL index by.
std::uint32_t HashBytes(std::string_view bytes) {
  constexpr std::uint32_t kGoldenRatio = 0x9E3779B9u;
  std::uint32_t hash = 0;
  for (const char c : bytes) {
    const std::uint32_t rotated = (hash << 5) | (hash >> 27);
    hash = kGoldenRatio * (rotated ^ static_cast<unsigned char>(c));
  }
  return hash;
}

// Where the host starts and ends: after "scheme://" and any user name, up to
// the path, query or fragment. Without "//" the rest of the URL is taken.
// True when the URL has an authority ("//").
bool HostRange(std::string_view url, std::size_t& begin, std::size_t& end, std::size_t& prefixLength) {
  const std::size_t colon = url.find(':');
  if (colon == std::string_view::npos) {
    begin = end = prefixLength = 0;
    return false;
  }
  prefixLength = colon + 1;
  const bool authority = url.substr(colon + 1, 2) == "//";
  if (authority) prefixLength += 2;
  begin = prefixLength;
  end = url.find_first_of("/?#", begin);
  if (end == std::string_view::npos) end = url.size();
  if (!authority) return false;
  const std::size_t at = url.substr(begin, end - begin).rfind('@');
  if (at != std::string_view::npos) begin += at + 1;
  return true;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace

std::int64_t UrlHash(std::string_view url) {
  constexpr std::size_t kMaxBytesHashed = 1500;
  const std::uint64_t hash = HashBytes(url.substr(0, std::min(kMaxBytesHashed, url.size())));
  std::uint64_t prefix = 0;
  const std::size_t colon = url.find(':');
  if (colon != std::string_view::npos) prefix = HashBytes(url.substr(0, colon)) & 0xFFFF;
  return static_cast<std::int64_t>((prefix << 32) + hash);
}

std::string ReversedHost(std::string_view url) {
  std::size_t begin = 0, end = 0, prefixLength = 0;
  std::string host = HostRange(url, begin, end, prefixLength) ? Lower(url.substr(begin, end - begin)) : std::string();
  std::reverse(host.begin(), host.end());
  return host + ".";
}

void Origin(std::string_view url, std::string& prefix, std::string& host) {
  std::size_t begin = 0, end = 0, prefixLength = 0;
  // A host is known without regard to case; what stands in its place in a
  // URL without one (a place: query) is kept as written.
  const bool authority = HostRange(url, begin, end, prefixLength);
  prefix = Lower(url.substr(0, prefixLength));
  host = authority ? Lower(url.substr(begin, end - begin)) : std::string(url.substr(begin, end - begin));
}

std::string NewGuid() {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
  std::random_device random;
  std::string guid;
  for (int i = 0; i < 12; ++i) guid.push_back(kAlphabet[random() % 64]);
  return guid;
}

}  // namespace places_values
