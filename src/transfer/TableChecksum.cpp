#include "transfer/TableChecksum.h"

#include "db/SqlTypes.h"
#include "db/Values.h"

#include <cstring>

namespace korvan::transfer {

namespace {

// A hash of the row's values, eight bytes at a time (each step a multiply
// and a shift, as in splitmix64), values separated by their kind tag.
class RowHash {
  public:
    void word(std::uint64_t value)
    {
        hash_ = (hash_ ^ value) * 0x9e3779b97f4a7c15ULL;
        hash_ ^= hash_ >> 29;
    }
    void bytes(const void* data, size_t size)
    {
        const auto* p = static_cast<const unsigned char*>(data);
        std::uint64_t chunk = 0;
        for (; size >= 8; size -= 8, p += 8) {
            std::memcpy(&chunk, p, 8);
            word(chunk);
        }
        chunk = 0;
        std::memcpy(&chunk, p, size);
        word(chunk);
    }
    template <typename T> void value(T v)
    {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &v, sizeof v);
        word(bits);
    }
    // Mixed once more (splitmix64's finalizer), so that sums of similar
    // rows do not cancel out.
    std::uint64_t result() const
    {
        std::uint64_t z = hash_;
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

  private:
    std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

} // namespace

void TableChecksum::add(const std::vector<FieldValue>& row, const std::vector<schema::Column>& columns)
{
    RowHash hash;
    for (size_t i = 0; i < row.size() && i < columns.size(); ++i) {
        const FieldValue& value = row[i];
        hash.value(static_cast<unsigned char>(value.kind));
        switch (value.kind) {
        case FieldValue::Kind::Null:
            break;
        case FieldValue::Kind::Integer:
            hash.value(value.integer);
            break;
        case FieldValue::Kind::Real:
            if (columns[i].sqlType == SqlType::Real) {
                hash.value(static_cast<float>(value.real) + 0.0f);
            } else {
                hash.value(value.real + 0.0); // -0.0 and 0.0 alike
            }
            break;
        case FieldValue::Kind::Date:
            hash.value(value.date.key());
            break;
        case FieldValue::Kind::Text:
        case FieldValue::Kind::Bytes:
            hash.value(static_cast<std::uint64_t>(value.bytes.size()));
            hash.bytes(value.bytes.data(), value.bytes.size());
            break;
        }
    }
    ++rows_;
    sum_ += hash.result();
}

std::string TableChecksum::text() const
{
    return formatText("%016llx", static_cast<unsigned long long>(sum_));
}

} // namespace korvan::transfer
