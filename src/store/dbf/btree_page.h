#pragma once
// Accessors of the B+tree pages of the index file. The layout is documented at the top
// of mdx_index.cpp; these helpers only spell it out. Integers are little-endian, except
// the record number inside an entry, which is big-endian so that a whole entry
// (key bytes, record number) compares with memcmp in (key, record) order.

#include <cstdint>
#include <cstring>

namespace mostrador::dbf::btree {

constexpr uint32_t kPageSize = 4096;
constexpr uint32_t kPageHeader = 16;

enum PageType : uint8_t { kLeaf = 1, kInternal = 2, kFree = 3 };

inline uint16_t get16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline void put16(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline uint32_t get32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);  // little-endian hosts only (x86-64, arm64)
  return v;
}
inline void put32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }
inline uint64_t get64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}
inline void put64(uint8_t* p, uint64_t v) { std::memcpy(p, &v, 8); }
inline uint32_t getBE32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
inline void putBE32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24);
  p[1] = uint8_t(v >> 16);
  p[2] = uint8_t(v >> 8);
  p[3] = uint8_t(v);
}

inline uint8_t type(const uint8_t* p) { return p[0]; }
inline int count(const uint8_t* p) { return get16(p + 2); }
inline void setCount(uint8_t* p, int n) { put16(p + 2, uint32_t(n)); }
inline int entrySize(const uint8_t* p) { return get16(p + 4); }
// Leaf: next leaf. Internal: child 0. Free: next free page.
inline uint32_t link(const uint8_t* p) { return get32(p + 8); }
inline void setLink(uint8_t* p, uint32_t v) { put32(p + 8, v); }
inline uint32_t prevLeaf(const uint8_t* p) { return get32(p + 12); }
inline void setPrevLeaf(uint8_t* p, uint32_t v) { put32(p + 12, v); }

inline int leafCapacity(int e) { return int(kPageSize - kPageHeader) / e; }
inline int internalCapacity(int e) { return int(kPageSize - kPageHeader) / (e + 4); }
inline int capacity(uint8_t t, int e) { return t == kLeaf ? leafCapacity(e) : internalCapacity(e); }

inline uint8_t* entry(uint8_t* p, int e, int i) { return p + kPageHeader + i * e; }
inline const uint8_t* entry(const uint8_t* p, int e, int i) { return p + kPageHeader + i * e; }

// Internal pages: child 0 in the link field, then pairs (separator i, child i + 1).
inline uint8_t* pair(uint8_t* p, int e, int i) { return p + kPageHeader + i * (e + 4); }
inline const uint8_t* separator(const uint8_t* p, int e, int i) {
  return p + kPageHeader + i * (e + 4);
}
inline uint32_t child(const uint8_t* p, int e, int i) {
  return i == 0 ? link(p) : get32(p + kPageHeader + (i - 1) * (e + 4) + e);
}
inline void setChild(uint8_t* p, int e, int i, uint32_t c) {
  if (i == 0)
    setLink(p, c);
  else
    put32(p + kPageHeader + (i - 1) * (e + 4) + e, c);
}

inline void initPage(uint8_t* p, uint8_t t, int e) {
  std::memset(p, 0, kPageSize);
  p[0] = t;
  put16(p + 4, uint32_t(e));
}

// Number of leading items i in [0, n) for which before(i) holds (before is true on a
// prefix of the items).
template <class Pred>
inline int countBefore(int n, Pred before) {
  int lo = 0, hi = n;
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    if (before(mid))
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

}  // namespace mostrador::dbf::btree
