#include "transfer/DatabaseCopy.h"

#include "core/OperationTransaction.h"
#include "core/ProgressSteps.h"
#include "db/Catalog.h"
#include "db/SqlTypes.h"
#include "db/TableCursor.h"
#include "refdata/SchemaCreation.h"
#include "transfer/CopyPlan.h"
#include "transfer/DatabaseSource.h"
#include "transfer/ValueConversion.h"

#include <algorithm>
#include <cctype>

namespace korvan::transfer {

namespace {

// The largest byte array one row may carry to an ODBC target.
constexpr int kBlobBytes = 16 * 1024 * 1024;
// How often a long table looks at the stop request and the progress bar.
constexpr long kRowsPerCheck = 1000;

bool sameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

class CopyRun {
  public:
    CopyRun(const CopyRequest& request, MessageSink& sink, OperationFeedback& feedback)
        : request_(request), sink_(sink), feedback_(feedback)
    {
    }

    CopyResult run()
    {
        feedback_.beginBusy(true);
        feedback_.showStatusBanner("Apertura di " + describeEndpoint(request_.source));
        std::optional<OpenedSource> source = openCopySource(request_.source, request_.rowsetSize, sink_);
        if (!source)
            return std::move(result_);
        source_ = source->source.get();
        if (!plan())
            return std::move(result_);
        std::optional<OpenedTarget> target = openCopyTarget(request_.target, request_.rowsetSize, sink_);
        if (!target)
            return std::move(result_);
        target_ = target->connection.get();
        dialect_ = schema::dialectOf(*target_);
        if (!targetIsEmpty() || !countSourceRows())
            return std::move(result_);
        if (!copyInOneTransaction())
            return std::move(result_);
        // The file is complete once its connection is closed.
        target->connection.reset();
        if (target->file) {
            const std::string problem = target->file->Keep();
            if (!problem.empty()) {
                sink_.showMessage("Errore in fase di creazione del database\n\n" + problem, MessageIcon::Error);
                return std::move(result_);
            }
        }
        feedback_.endProgress();
        result_.completed = true;
        return std::move(result_);
    }

  private:
    std::string cancelledNote() const
    {
        if (request_.target.kind == EndpointKind::SqliteFile)
            return "Copia annullata: il file " + request_.target.name + " non è stato creato.";
        return "Copia annullata: nessuna modifica è stata registrata nella sorgente dati " + request_.target.name + ".";
    }

    void refuse(const std::string& text) { sink_.showMessage(text + cancelledNote(), MessageIcon::Error); }

    bool plan()
    {
        std::string refusal;
        const bool planned = request_.tables.empty() ? planRunsCopy(*source_, plan_, refusal)
                                                     : planNamedTables(*source_, request_.tables, plan_, refusal);
        if (!planned) {
            sink_.showMessage(refusal, MessageIcon::Error);
            return false;
        }
        if (!request_.tables.empty())
            return true;
        // The accounting tables the source lacks are made empty, so that the
        // copy is a whole runs database the program can open.
        for (const schema::Table& table : schema::tables()) {
            const bool copied = std::any_of(plan_.tables.begin(), plan_.tables.end(),
                                            [&table](const PlannedTable& p) { return p.target.name == table.name; });
            if (!copied && table.accounting)
                emptyTables_.push_back(&table);
        }
        return true;
    }

    std::string physical(const std::string& name) const { return schema::physicalName(name, dialect_); }

    bool targetIsEmpty()
    {
        std::vector<std::string> present;
        auto check = [&](const std::string& name) {
            if (describeTable(target_, physical(name)))
                present.push_back(physical(name));
        };
        for (const PlannedTable& table : plan_.tables)
            check(table.target.name);
        for (const schema::Table* table : emptyTables_)
            check(table->name);
        if (present.empty())
            return true;
        std::string list;
        for (const std::string& name : present)
            list += (list.empty() ? "" : ", ") + name;
        refuse("ATTENZIONE: " + describeEndpoint(request_.target) + " contiene già le tavole: " + list +
               ".\n\nOccorre copiare in una base dati che non le contenga.\n\n");
        return false;
    }

    bool countSourceRows()
    {
        feedback_.showStatusBanner("Conteggio delle righe della sorgente");
        for (const PlannedTable& table : plan_.tables) {
            std::string error;
            const long rows = source_->countRows(table.sourceName, error);
            if (rows < 0) {
                if (!error.empty())
                    sink_.showMessage("Errore lettura tavola (" + table.sourceName + ")\n\n" + error,
                                      MessageIcon::Error);
                return false;
            }
            CopiedTable copied;
            copied.name = table.target.name;
            copied.sourceCount = rows;
            result_.tables.push_back(copied);
            totalRows_ += rows;
        }
        return true;
    }

    bool copyInOneTransaction()
    {
        OperationTransaction transaction(target_, sink_, feedback_);
        if (!transaction.begun())
            return false;
        ProgressSteps progress(feedback_, 2 * totalRows_ + 1);
        progress_ = &progress;
        transaction_ = &transaction;
        for (size_t i = 0; i < plan_.tables.size(); ++i)
            if (!copyTable(plan_.tables[i], result_.tables[i]))
                return false;
        for (const schema::Table* table : emptyTables_) {
            transaction.step("Creazione della tavola (" + table->name + ")");
            if (!schema::createTable(*target_, *table) || !transaction.going())
                return false;
            CopiedTable copied;
            copied.name = table->name;
            copied.createdEmpty = true;
            result_.tables.push_back(copied);
        }
        for (size_t i = 0; i < plan_.tables.size(); ++i)
            if (!verifyTable(plan_.tables[i], result_.tables[i]))
                return false;
        transaction.step("Registrazione della copia");
        return transaction.commit();
    }

    std::string rowName(const PlannedTable& table, const std::vector<FieldValue>& row, long number) const
    {
        std::string key;
        for (const std::string& name : table.target.key)
            for (size_t i = 0; i < table.target.columns.size(); ++i)
                if (table.target.columns[i].name == name)
                    key += (key.empty() ? "" : ", ") + name + " " + describeFieldValue(row[i]);
        return key.empty() ? formatText("n. %ld", number) : "chiave (" + key + ")";
    }

    // A value the target cannot hold: the copy stops, or with
    // skipBadValues the value becomes NULL and is listed.
    bool badValue(const PlannedTable& table, const std::vector<FieldValue>& row, long number, size_t column,
                  const std::string& reason)
    {
        SkippedValue skipped{table.target.name, rowName(table, row, number), table.target.columns[column].name,
                             describeFieldValue(row[column]), reason};
        // A key column cannot be left empty: its row could not be stored.
        const auto& key = table.target.key;
        const bool inKey = std::find(key.begin(), key.end(), skipped.column) != key.end();
        if (request_.skipBadValues && !inKey) {
            result_.skipped.push_back(std::move(skipped));
            return true;
        }
        refuse("ATTENZIONE: un valore della sorgente non può essere conservato nella copia.\n\nTavola (" +
               skipped.table + "), riga " + skipped.row + ", colonna (" + skipped.column + "): <" + skipped.value +
               ">\n" + reason + "\n\n" +
               (inKey
                    ? std::string("La colonna fa parte della chiave della tavola: il valore non può restare vuoto.\n\n")
                    : request_.badValueHint));
        return false;
    }

    bool readFailed(const std::string& table, const TableReader& reader)
    {
        if (!reader.failure().empty())
            refuse("Errore lettura tavola (" + table + ")\n\n" + reader.failure() + "\n\n");
        return false;
    }

    bool copyTable(const PlannedTable& table, CopiedTable& copied)
    {
        transaction_->step("Copia della tavola (" + table.target.name + ")");
        if (!schema::createTable(*target_, table.target) || !transaction_->going())
            return false;
        std::string error;
        std::unique_ptr<TableReader> reader = source_->read(table.sourceName, table.read, error);
        if (!reader) {
            if (!error.empty())
                refuse("Errore lettura tavola (" + table.sourceName + ")\n\n" + error + "\n\n");
            return false;
        }
        const bool blob = std::any_of(table.target.columns.begin(), table.target.columns.end(),
                                      [](const schema::Column& c) { return c.sqlType == SqlType::LongVarBinary; });
        TableCursor cursor(target_, physical(table.target.name), true, blob ? kBlobBytes : 0);
        if (!cursor.IsOpen())
            return false;
        const std::vector<schema::Column>& columns = table.target.columns;
        std::vector<FieldValue> row, converted(columns.size());
        std::vector<std::string> problems;
        std::string reason;
        long number = 0;
        long written = 0;
        while (reader->next(row, problems)) {
            ++number;
            for (size_t i = 0; i < columns.size(); ++i) {
                const bool fits = problems[i].empty() && convertValue(row[i], columns[i], converted[i], reason);
                if (!fits && !badValue(table, row, number, i, problems[i].empty() ? reason : problems[i]))
                    return false;
            }
            copied.read.add(converted, columns);
            cursor.AddNew();
            for (size_t i = 0; i < columns.size(); ++i)
                cursor.SetValue(columns[i].name, converted[i]);
            cursor.Update();
            written += cursor.RowsWritten();
            if (number % kRowsPerCheck == 0) {
                progress_->reach(done_ + number);
                if (!transaction_->going())
                    return false;
            }
        }
        if (reader->failed())
            return readFailed(table.sourceName, *reader);
        cursor.Flush();
        written += cursor.RowsWritten();
        done_ += number;
        progress_->reach(done_);
        // A row the target refused has been shown by the layer.
        return transaction_->going() && written == number;
    }

    bool verifyTable(const PlannedTable& table, CopiedTable& copied)
    {
        transaction_->step("Verifica della tavola (" + table.target.name + ")");
        DatabaseSource stored(*target_, request_.target.name);
        const std::string name = physical(table.target.name);
        const auto described = stored.describe(name);
        std::vector<ReadColumn> columns;
        for (const schema::Column& column : table.target.columns) {
            std::string reported = physical(column.name);
            if (described)
                for (const CatalogColumn& each : *described)
                    if (sameName(each.name, column.name))
                        reported = each.name;
            columns.push_back({reported, column.sqlType, column.width});
        }
        std::string error;
        const long count = stored.countRows(name, error);
        std::unique_ptr<TableReader> reader = stored.read(name, columns, error);
        if (count < 0 || !reader || !transaction_->going())
            return false;
        std::vector<FieldValue> row, converted(columns.size());
        std::vector<std::string> problems;
        std::string reason;
        long number = 0;
        bool readable = true;
        while (reader->next(row, problems)) {
            ++number;
            for (size_t i = 0; i < columns.size(); ++i)
                readable = convertValue(row[i], table.target.columns[i], converted[i], reason) && readable;
            copied.stored.add(converted, table.target.columns);
            if (number % kRowsPerCheck == 0) {
                progress_->reach(totalRows_ + done_ + number);
                if (!transaction_->going())
                    return false;
            }
        }
        if (reader->failed() || !transaction_->going())
            return false;
        done_ += number;
        const bool same = readable && count == copied.stored.rows() && copied.read == copied.stored &&
                          copied.sourceCount == copied.read.rows();
        if (same)
            return true;
        refuse(formatText("ATTENZIONE: la verifica della copia non è riuscita per la tavola (%s).\n\n"
                          "Sorgente: %ld righe contate, %ld lette, somma di controllo %s.\n"
                          "Copia: %ld righe contate, %ld lette, somma di controllo %s.\n\n",
                          table.target.name.c_str(), copied.sourceCount, copied.read.rows(), copied.read.text().c_str(),
                          count, copied.stored.rows(), copied.stored.text().c_str()));
        return false;
    }

    const CopyRequest& request_;
    MessageSink& sink_;
    OperationFeedback& feedback_;
    CopyResult result_;
    CopySource* source_ = nullptr;
    DbConnection* target_ = nullptr;
    schema::Dialect dialect_ = schema::Dialect::Sqlite;
    CopyPlan plan_;
    std::vector<const schema::Table*> emptyTables_;
    OperationTransaction* transaction_ = nullptr;
    ProgressSteps* progress_ = nullptr;
    long totalRows_ = 0;
    long done_ = 0;
};

} // namespace

CopyResult copyDatabase(const CopyRequest& request, MessageSink& sink, OperationFeedback& feedback)
{
    return CopyRun(request, sink, feedback).run();
}

std::string copyReportText(const CopyRequest& request, const CopyResult& result)
{
    std::string text = "Sorgente: " + describeEndpoint(request.source) +
                       "\nDestinazione: " + describeEndpoint(request.target) + "\n\n" +
                       formatText("%-24s %14s %14s  %s\n", "Tavola", "Righe sorgente", "Righe copia",
                                  "Somma di controllo (sorgente = copia)");
    long rows = 0;
    for (const CopiedTable& table : result.tables) {
        rows += table.stored.rows();
        text += formatText("%-24s %14ld %14ld  %s = %s%s\n", table.name.c_str(), table.sourceCount, table.stored.rows(),
                           table.read.text().c_str(), table.stored.text().c_str(),
                           table.createdEmpty ? "  (creata vuota)" : "");
    }
    text += formatText("\nCopia completata e verificata: %d tavole, %ld righe.\n",
                       static_cast<int>(result.tables.size()), rows);
    if (!result.skipped.empty()) {
        text += formatText("Valori che la copia non può conservare, memorizzati come NULL: %d\n",
                           static_cast<int>(result.skipped.size()));
        for (const SkippedValue& value : result.skipped)
            text += "  Tavola (" + value.table + "), riga " + value.row + ", colonna (" + value.column + "): <" +
                    value.value + "> " + value.reason + "\n";
    }
    return text;
}

} // namespace korvan::transfer
