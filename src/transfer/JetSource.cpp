#include "transfer/JetSource.h"

#include "db/SqlTypes.h"
#include "db/Values.h"
#include "transfer/JetDates.h"

#include <fcntl.h>
#include <mdbtools.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

namespace korvan::transfer {

namespace {

// Room for a bound text: a memo of 65,535 characters in UTF-8.
constexpr size_t kBindBytes = 256 * 1024;

const char* const kDamaged = "il file è troncato o danneggiato.";

// libmdb tells of what it cannot read on standard output and standard
// error; the copy says it in its own words, so that output is set aside
// while libmdb works.
class QuietStandardError {
  public:
    QuietStandardError()
    {
        std::fflush(stdout);
        std::fflush(stderr);
        const int null = ::open("/dev/null", O_WRONLY);
        for (int i = 0; i < 2; ++i) {
            saved_[i] = ::dup(kStreams[i]);
            if (saved_[i] >= 0 && null >= 0)
                ::dup2(null, kStreams[i]);
        }
        if (null >= 0)
            ::close(null);
    }
    ~QuietStandardError()
    {
        std::fflush(stdout);
        std::fflush(stderr);
        for (int i = 0; i < 2; ++i)
            if (saved_[i] >= 0) {
                ::dup2(saved_[i], kStreams[i]);
                ::close(saved_[i]);
            }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

  private:
    static constexpr int kStreams[2] = {STDOUT_FILENO, STDERR_FILENO};
    int saved_[2] = {-1, -1};
};

template <typename T> T readRaw(const void* at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

struct JetType {
    int sqlType;
    std::string name;
    int width;
};

JetType jetType(const MdbColumn& column, bool jet3)
{
    switch (column.col_type) {
    case MDB_BOOL:
        return {SqlType::Bit, "Boolean", 0};
    case MDB_BYTE:
        return {SqlType::SmallInt, "Byte", 0};
    case MDB_INT:
        return {SqlType::SmallInt, "Integer", 0};
    case MDB_LONGINT:
        return {SqlType::Integer, "Long Integer", 0};
    case MDB_MONEY:
        return {SqlType::Double, "Currency", 0};
    case MDB_FLOAT:
        return {SqlType::Real, "Single", 0};
    case MDB_DOUBLE:
        return {SqlType::Double, "Double", 0};
    case MDB_DATETIME:
        return {SqlType::Date, "DateTime", 0};
    case MDB_BINARY:
        return {SqlType::LongVarBinary, "Binary", 0};
    case MDB_TEXT: {
        // JET4 and ACE keep texts in UCS-2: two bytes a character.
        const int width = jet3 ? column.col_size : column.col_size / 2;
        return {SqlType::VarChar, formatText("Text (%d)", width), width};
    }
    case MDB_OLE:
        return {SqlType::LongVarBinary, "OLE", 0};
    case MDB_MEMO:
        return {SqlType::LongVarChar, "Memo", 0};
    case MDB_REPID:
        return {SqlType::VarChar, "Replication ID", 38};
    case MDB_NUMERIC:
        return {SqlType::Double, formatText("Numeric (%d, %d)", column.col_prec, column.col_scale), 0};
    default:
        return {0, formatText("JET (%d)", column.col_type), 0};
    }
}

MdbColumn* columnAt(MdbTableDef* table, unsigned index)
{
    return static_cast<MdbColumn*>(g_ptr_array_index(table->columns, index));
}

} // namespace

struct JetSource::File {
    MdbHandle* mdb = nullptr;
    long pages = 0;

    ~File()
    {
        if (mdb) {
            QuietStandardError quiet;
            mdb_close(mdb);
        }
    }

    // The table's definition with its columns and indexes, once its data
    // pages are known to lie within the file; null with the reason.
    MdbTableDef* readTable(const std::string& name, std::string& error)
    {
        QuietStandardError quiet;
        MdbCatalogEntry* entry = nullptr;
        for (unsigned i = 0; i < mdb->num_catalog; ++i) {
            auto* candidate = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
            if (candidate->object_type == MDB_TABLE && name == candidate->object_name)
                entry = candidate;
        }
        if (!entry) {
            error = "La tavola (" + name + ") non esiste nel file.";
            return nullptr;
        }
        if (static_cast<long>(entry->table_pg) >= pages) {
            error = "La tavola (" + name + ") non si può leggere: " + kDamaged;
            return nullptr;
        }
        MdbTableDef* table = mdb_read_table(entry);
        if (!table || !mdb_read_columns(table)) {
            if (table)
                mdb_free_tabledef(table);
            error = "La tavola (" + name + ") non si può leggere: " + kDamaged;
            return nullptr;
        }
        // After the columns, which the indexes refer to; it returns nothing
        // to check: the indexes land in the table.
        mdb_read_indices(table);
        for (gint32 page = mdb_map_find_next(mdb, table->usage_map, static_cast<unsigned>(table->map_sz), 0); page > 0;
             page = mdb_map_find_next(mdb, table->usage_map, static_cast<unsigned>(table->map_sz),
                                      static_cast<guint32>(page) + 1))
            if (page >= pages) {
                mdb_free_tabledef(table);
                error = formatText("La tavola (%s) occupa la pagina %d, oltre la fine del file (%ld pagine): ",
                                   name.c_str(), page, pages) +
                        kDamaged;
                return nullptr;
            }
        return table;
    }
};

std::string jetFileProblem(const std::string& path, int& pageSize)
{
    pageSize = 0;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return "Il file " + path + " non esiste o non si può leggere.";
    if (!S_ISREG(status.st_mode))
        return "Il percorso " + path + " non è un file.";
    if (status.st_size == 0)
        return "Il file " + path + " è vuoto: non è un database JET.";
    std::ifstream in(path, std::ios::binary);
    char page[0x20] = {0};
    in.read(page, sizeof page);
    if (!in)
        return "Il file " + path + " non è un database JET (Access *.mdb o *.accdb): è troppo corto.";
    if (std::memcmp(page + 4, "Standard Jet DB", 15) != 0 && std::memcmp(page + 4, "Standard ACE DB", 15) != 0)
        return "Il file " + path + " non è un database JET (Access *.mdb o *.accdb).";
    pageSize = page[0x14] == 0 ? 2048 : 4096;
    if (status.st_size < 3 * pageSize)
        return formatText("Il file %s è troncato: con %lld byte non contiene neppure le prime pagine di un "
                          "database JET.",
                          path.c_str(), static_cast<long long>(status.st_size));
    if (status.st_size % pageSize != 0)
        return formatText("Il file %s è troncato: la sua lunghezza (%lld byte) non è un numero intero di pagine "
                          "di %d byte.",
                          path.c_str(), static_cast<long long>(status.st_size), pageSize);
    return {};
}

std::unique_ptr<JetSource> JetSource::open(const std::string& path, std::string& error)
{
    int pageSize = 0;
    error = jetFileProblem(path, pageSize);
    if (!error.empty())
        return nullptr;
    auto file = std::make_unique<File>();
    struct stat status {};
    ::stat(path.c_str(), &status);
    file->pages = static_cast<long>(status.st_size / pageSize);
    QuietStandardError quiet;
    file->mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
    if (!file->mdb) {
        error = "Il file " + path + " non si può aprire come database JET: " + kDamaged;
        return nullptr;
    }
    mdb_set_bind_size(file->mdb, kBindBytes);
    if (!mdb_read_catalog(file->mdb, MDB_TABLE)) {
        error = "Il catalogo delle tavole del file " + path + " non si può leggere: " + kDamaged;
        return nullptr;
    }
    // Every table is looked at now, so that a file cut short is refused as
    // a whole rather than found wanting half-way through a copy.
    for (unsigned i = 0; i < file->mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(file->mdb->catalog, i));
        if (entry->object_type != MDB_TABLE || !mdb_is_user_table(entry))
            continue;
        MdbTableDef* table = file->readTable(entry->object_name, error);
        if (!table) {
            error = "Il file " + path + " non si può leggere. " + error;
            return nullptr;
        }
        mdb_free_tabledef(table);
    }
    const guint32 jet = file->mdb->f->jet_version;
    const std::string version = jet == MDB_VER_JET3 ? "JET3" : jet == MDB_VER_JET4 ? "JET4" : "ACE";
    return std::unique_ptr<JetSource>(new JetSource(std::move(file), path, version));
}

JetSource::JetSource(std::unique_ptr<File> file, std::string path, std::string version)
    : file_(std::move(file)), path_(std::move(path)), version_(std::move(version))
{
}

JetSource::~JetSource() = default;

std::vector<std::string> JetSource::tableNames() const
{
    std::vector<std::string> names;
    MdbHandle* mdb = file_->mdb;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry))
            names.emplace_back(entry->object_name);
    }
    return names;
}

std::optional<std::vector<CatalogColumn>> JetSource::describe(const std::string& table)
{
    std::string error;
    MdbTableDef* definition = file_->readTable(table, error);
    if (!definition)
        return std::nullopt;
    const bool jet3 = file_->mdb->f->jet_version == MDB_VER_JET3;
    std::vector<CatalogColumn> columns;
    for (unsigned i = 0; i < definition->num_cols; ++i) {
        const JetType type = jetType(*columnAt(definition, i), jet3);
        columns.push_back({columnAt(definition, i)->name, type.sqlType, type.name, type.width, 0});
    }
    for (unsigned i = 0; i < definition->num_idxs; ++i) {
        const auto* index = static_cast<MdbIndex*>(g_ptr_array_index(definition->indices, i));
        if (index->index_type != 1)
            continue;
        for (unsigned k = 0; k < index->num_keys; ++k) {
            const int column = index->key_col_num[k] - 1;
            if (column >= 0 && column < static_cast<int>(columns.size()))
                columns[static_cast<size_t>(column)].keyPosition = static_cast<int>(k) + 1;
        }
    }
    mdb_free_tabledef(definition);
    return columns;
}

long JetSource::countRows(const std::string& table, std::string& error)
{
    MdbTableDef* definition = file_->readTable(table, error);
    if (!definition)
        return -1;
    const long rows = definition->num_rows;
    mdb_free_tabledef(definition);
    return rows;
}

namespace {

class JetReader : public TableReader {
  public:
    JetReader(MdbHandle* mdb, MdbTableDef* table, std::vector<int> columns)
        : mdb_(mdb), table_(table), columns_(std::move(columns)), bound_(columns_.size()), lengths_(columns_.size(), 0),
          fields_(MDB_MAX_COLS)
    {
        QuietStandardError quiet;
        mdb_rewind_table(table_);
        for (size_t i = 0; i < columns_.size(); ++i) {
            bound_[i].assign(kBindBytes, '\0');
            mdb_bind_column(table_, columns_[i] + 1, bound_[i].data(), &lengths_[i]);
        }
    }
    ~JetReader() override
    {
        QuietStandardError quiet;
        mdb_free_tabledef(table_);
    }
    JetReader(const JetReader&) = delete;
    JetReader& operator=(const JetReader&) = delete;

    bool next(std::vector<FieldValue>& row, std::vector<std::string>& problems) override
    {
        if (failed_)
            return false;
        QuietStandardError quiet;
        const bool fetched = mdb_fetch_row(table_) != 0;
        // The file's own count of rows says where the rows end: fewer or
        // more are a damaged file, never a copy of part of a table.
        if (!fetched || rows_ >= static_cast<long>(table_->num_rows)) {
            if (fetched || rows_ != static_cast<long>(table_->num_rows))
                fail(formatText("La tavola (%s) dovrebbe avere %u righe, ne sono state lette %ld: ", table_->name,
                                table_->num_rows, rows_ + (fetched ? 1 : 0)) +
                     kDamaged);
            return false;
        }
        ++rows_;
        int start = 0;
        size_t size = 0;
        if (mdb_find_row(mdb_, static_cast<int>(table_->cur_row) - 1, &start, &size) != 0 ||
            mdb_crack_row(table_, start, size, fields_.data()) < static_cast<int>(table_->num_cols)) {
            fail(formatText("Una riga della tavola (%s) non si può leggere: ", table_->name) + kDamaged);
            return false;
        }
        row.resize(columns_.size());
        problems.assign(columns_.size(), std::string());
        // The row's own values first: reading an OLE value moves the page.
        for (size_t i = 0; i < columns_.size(); ++i)
            readValue(i, row[i], problems[i]);
        for (size_t i = 0; i < columns_.size(); ++i) {
            MdbColumn* column = columnAt(table_, static_cast<unsigned>(columns_[i]));
            if (column->col_type != MDB_OLE || fields_[static_cast<size_t>(columns_[i])].is_null)
                continue;
            size_t length = 0;
            void* data = mdb_ole_read_full(mdb_, column, &length);
            row[i].setBytes(data ? std::string(static_cast<const char*>(data), length) : std::string());
            std::free(data);
        }
        return true;
    }

    bool failed() const override { return failed_; }
    std::string failure() const override { return failure_; }

  private:
    void fail(const std::string& text)
    {
        failed_ = true;
        failure_ = text;
    }

    void readValue(size_t i, FieldValue& value, std::string& problem)
    {
        const auto c = static_cast<size_t>(columns_[i]);
        MdbColumn* column = columnAt(table_, static_cast<unsigned>(c));
        const MdbField& field = fields_[c];
        if (column->col_type == MDB_BOOL) {
            // A boolean is kept in the row's null mask.
            value.setInteger(field.is_null ? 0 : 1);
            return;
        }
        if (field.is_null) {
            value.setNull();
            return;
        }
        const void* at = field.value;
        const bool fixed = at && field.siz >= mdb_col_fixed_size(column);
        switch (column->col_type) {
        case MDB_BYTE:
            if (fixed)
                return value.setInteger(readRaw<std::uint8_t>(at));
            break;
        case MDB_INT:
            if (fixed)
                return value.setInteger(readRaw<std::int16_t>(at));
            break;
        case MDB_LONGINT:
            if (fixed)
                return value.setInteger(readRaw<std::int32_t>(at));
            break;
        case MDB_MONEY:
            // Ten-thousandths in a 64-bit integer.
            if (fixed)
                return value.setReal(static_cast<double>(readRaw<std::int64_t>(at)) / 10000.0);
            break;
        case MDB_FLOAT:
            if (fixed)
                return value.setReal(readRaw<float>(at));
            break;
        case MDB_DOUBLE:
            if (fixed)
                return value.setReal(readRaw<double>(at));
            break;
        case MDB_DATETIME:
            if (fixed) {
                const double stored = readRaw<double>(at);
                if (const std::optional<JetDate> date = jetStoredDate(stored, problem))
                    value.setDate(date->date, date->timeOfDay);
                else
                    value.setReal(stored);
                return;
            }
            break;
        case MDB_BINARY:
            return value.setBytes(std::string(static_cast<const char*>(at), static_cast<size_t>(field.siz)));
        case MDB_OLE:
            return value.setBytes({}); // read after the row's other values
        case MDB_NUMERIC: {
            const std::optional<double> number = parseWholeDecimal(boundText(i));
            if (number)
                return value.setReal(*number);
            problem = "Il valore memorizzato (" + boundText(i) + ") non è un numero.";
            return value.setNull();
        }
        default:
            if (static_cast<size_t>(lengths_[i]) + 1 >= kBindBytes) {
                problem = "Il testo memorizzato è più lungo di quanto si possa leggere.";
                return value.setNull();
            }
            return value.setText(boundText(i));
        }
        problem = "Il valore memorizzato è incompleto: " + std::string(kDamaged);
        value.setNull();
    }

    std::string boundText(size_t i) const
    {
        return std::string(bound_[i].data(), static_cast<size_t>(std::max(0, lengths_[i])));
    }

    MdbHandle* mdb_;
    MdbTableDef* table_;
    std::vector<int> columns_;
    std::vector<std::vector<char>> bound_;
    std::vector<int> lengths_;
    std::vector<MdbField> fields_;
    long rows_ = 0;
    bool failed_ = false;
    std::string failure_;
};

} // namespace

std::unique_ptr<TableReader> JetSource::read(const std::string& table, const std::vector<ReadColumn>& columns,
                                             std::string& error)
{
    MdbTableDef* definition = file_->readTable(table, error);
    if (!definition)
        return nullptr;
    std::vector<int> indexes;
    for (const ReadColumn& wanted : columns) {
        int found = -1;
        for (unsigned i = 0; i < definition->num_cols; ++i)
            if (wanted.name == columnAt(definition, i)->name)
                found = static_cast<int>(i);
        if (found < 0) {
            error = "La colonna (" + wanted.name + ") non esiste nella tavola (" + table + ").";
            QuietStandardError quiet;
            mdb_free_tabledef(definition);
            return nullptr;
        }
        indexes.push_back(found);
    }
    return std::make_unique<JetReader>(file_->mdb, definition, std::move(indexes));
}

} // namespace korvan::transfer
