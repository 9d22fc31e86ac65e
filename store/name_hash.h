// Hashing of names for the name index: SipHash-1-3 under a key drawn at random once per
// process, so that no file can be crafted whose names all share a hash and make loading it
// quadratic. Not part of the public interface.
#pragma once

#include <cstdint>
#include <string_view>

namespace kov::detail {

// SipHash with c compression and d finalisation rounds under the key (k0, k1).
std::uint64_t SipHash(std::string_view bytes, std::uint64_t k0, std::uint64_t k1, int c, int d);

// The index's hash: SipHash-1-3 under this process's key.
std::uint64_t NameHash(std::string_view name);

}  // namespace kov::detail
