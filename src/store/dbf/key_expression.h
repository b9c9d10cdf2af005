#pragma once
// Index keys: a tag's key ("CLDOC_F;CLPRO_F" or "*" + a dBASE key expression) compiled
// against a table's fields, and the order-preserving byte encoding of key values, so
// that comparing two encoded keys with memcmp orders them as the tag orders records.
//
//   C field      -> its Windows-1252 bytes, blank-padded to the field width
//   N, F field   -> 8 bytes: IEEE double, sign bit flipped (all bits when negative), BE;
//                   a blank field sorts as 0
//   D field      -> "yyyymmdd" (a blank date is 8 blanks and sorts first)
//   L field      -> "T" or "F" (blank as "F")
//   expression   -> its text result (UPPER, STR, DTOS, SUBSTR, + concatenation), cut or
//                   padded to the expression's fixed width; a numeric expression encodes
//                   as a number, a date expression as a date (the language is described
//                   in mdx_key_expr.h)
// A key of several fields is the concatenation of the fields' encodings, so a find on
// the leading fields is a prefix search. A descending tag stores the complement bytes.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "store/dbf/dbf_table.h"

namespace mostrador::dbf {

// Where each field sits in a raw record (offset 0 is the deleted flag).
struct RecordLayout {
  std::vector<FieldDef> fields;
  std::vector<int> offsets;
  int recordLength = 1;
  static RecordLayout from(const std::vector<FieldDef>& fields);
};

class KeyExpression {
 public:
  static constexpr int kMaxLength = 240;  // longest encoded key, in bytes

  // Throws Error with a text for an unknown field or a malformed expression.
  static KeyExpression compile(std::string_view key, const RecordLayout& layout,
                               bool descending = false);
  KeyExpression();
  ~KeyExpression();
  KeyExpression(const KeyExpression&);
  KeyExpression& operator=(const KeyExpression&);
  KeyExpression(KeyExpression&&) noexcept;
  KeyExpression& operator=(KeyExpression&&) noexcept;

  int length() const;  // bytes of every encoded key of this tag
  // 'C', 'N' or 'D': the type of the key as a whole (an expression of text is 'C').
  char type() const;
  // Number of values findKey/setRange can take (fields of a field list; 1 for an
  // expression).
  int partCount() const;
  // The encoded key of a raw record (recordLength bytes, deleted flag first).
  std::string evaluate(const char* record) const;
  // The encoded prefix for the first values.size() parts (values converted to each
  // part's type as KeyValue documents). For a descending tag it is complemented.
  // A text part is blank-padded to its width: the exact key a find compares with.
  // Throws Error for more values than parts or a value that does not convert.
  std::string encodePrefix(const std::vector<KeyValue>& values) const;
  // As encodePrefix(), but the last value, when it is text for a text part, is not
  // padded: seek() on it finds the first key that starts with it (find nearest, range
  // ends).
  std::string encodePartial(const std::vector<KeyValue>& values) const;
  bool descending() const;

 private:
  std::string encode(const std::vector<KeyValue>& values, bool partial) const;
  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace mostrador::dbf
