#include "store/TaskSchema.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>

namespace cdk::schema {

namespace {

// Column constraints spelled once. The typeof() tests keep text out of the
// number columns (SQLite would store it as it comes); the ranges are those of
// the engine types the format promises: long, integer (16-bit), byte, boolean.
QString longColumn(const char *name, bool required = false)
{
    const QString n = QLatin1String(name);
    if (required)
        return n % QStringLiteral(" INTEGER NOT NULL CHECK (typeof(") % n
            % QStringLiteral(") = 'integer' AND ") % n
            % QStringLiteral(" BETWEEN -2147483648 AND 2147483647)");
    return n % QStringLiteral(" INTEGER CHECK (") % n % QStringLiteral(" IS NULL OR (typeof(") % n
        % QStringLiteral(") = 'integer' AND ") % n
        % QStringLiteral(" BETWEEN -2147483648 AND 2147483647))");
}

QString rangedColumn(const char *name, int low, int high)
{
    const QString n = QLatin1String(name);
    return n % QStringLiteral(" INTEGER CHECK (") % n % QStringLiteral(" IS NULL OR (typeof(") % n
        % QStringLiteral(") = 'integer' AND ") % n % QStringLiteral(" BETWEEN ")
        % QString::number(low) % QStringLiteral(" AND ") % QString::number(high)
        % QStringLiteral("))");
}

QString textColumn(const char *name)
{
    const QString n = QLatin1String(name);
    return n % QStringLiteral(" TEXT CHECK (typeof(") % n
        % QStringLiteral(") IN ('text', 'null'))");
}

// Auto-numbered key of the category and project tables.
QString keyColumn()
{
    return QStringLiteral(
        "ID INTEGER PRIMARY KEY NOT NULL CHECK (ID BETWEEN -2147483648 AND 2147483647)");
}

QString createTable(const char *table, const QStringList &columns)
{
    return QStringLiteral("CREATE TABLE ") % QLatin1String(table) % QStringLiteral(" (\n  ")
        % columns.join(QStringLiteral(",\n  ")) % QStringLiteral(")");
}

struct DefaultCategory
{
    int id;
    const char *name;
    int backColor;
};

constexpr std::array<DefaultCategory, 8> kDefaultCategories {{
    {1, QT_TRANSLATE_NOOP("TaskSchema", "Work"), 10020801},
    {2, QT_TRANSLATE_NOOP("TaskSchema", "Personal"), 10793211},
    {3, QT_TRANSLATE_NOOP("TaskSchema", "Chore"), 16762099},
    {4, QT_TRANSLATE_NOOP("TaskSchema", "Health"), 9105405},
    {5, QT_TRANSLATE_NOOP("TaskSchema", "Social"), 15771322},
    {6, QT_TRANSLATE_NOOP("TaskSchema", "Family"), 10746074},
    {7, QT_TRANSLATE_NOOP("TaskSchema", "Relaxation"), 16635824},
    {8, QT_TRANSLATE_NOOP("TaskSchema", "Self Growth"), 6668284},
}};

} // namespace

QStringList taskColumns()
{
    return {QStringLiteral("ID"),
            QStringLiteral("List"),
            QStringLiteral("Subject"),
            QStringLiteral("Category"),
            QStringLiteral("Duration"),
            QStringLiteral("FinishedDuration"),
            QStringLiteral("FinishedSeconds"),
            QStringLiteral("State"),
            QStringLiteral("Priority"),
            QStringLiteral("TaskData1"),
            QStringLiteral("TaskData2"),
            QStringLiteral("TaskData3"),
            QStringLiteral("TaskData4")};
}

QStringList categoryColumns()
{
    return {QStringLiteral("ID"),        QStringLiteral("Name"),     QStringLiteral("BackColor"),
            QStringLiteral("ForeColor"), QStringLiteral("CatData1"), QStringLiteral("CatData2")};
}

QStringList projectColumns()
{
    return {QStringLiteral("ID"), QStringLiteral("Name"), QStringLiteral("ProjData1"),
            QStringLiteral("ProjData2")};
}

void createContent(sql::Database &db)
{
    // No primary key on the task table: rows are read back in the order they
    // were stored (rowid order), which the grid relies on.
    db.exec(
        createTable("Chronodeck",
                    {longColumn("ID", true),
                     QStringLiteral("List TEXT NOT NULL CHECK (typeof(List) = 'text' AND "
                                    "List <> '')"),
                     textColumn("Subject"), longColumn("Category"), longColumn("Duration"),
                     longColumn("FinishedDuration"), rangedColumn("FinishedSeconds", 0, 255),
                     rangedColumn("State", -32768, 32767), rangedColumn("Priority", -32768, 32767),
                     textColumn("TaskData1"), textColumn("TaskData2"), longColumn("TaskData3"),
                     rangedColumn("TaskData4", 0, 1)}));
    // Every single-task lookup and NextTaskID go by list and number.
    db.exec(QStringLiteral("CREATE INDEX ChronodeckListID ON Chronodeck (List, ID)"));
    db.exec(createTable("CategoryList",
                        {keyColumn(), textColumn("Name"), longColumn("BackColor"),
                         longColumn("ForeColor"), textColumn("CatData1"), textColumn("CatData2")}));
    db.exec(createTable(
        "ProjectList",
        {keyColumn(), textColumn("Name"), textColumn("ProjData1"), textColumn("ProjData2")}));

    db.exec(
        QStringLiteral("INSERT INTO Chronodeck (ID, List, Subject) VALUES (-1, 'VER', '1.00')"));
    sql::Statement add = db.prepare(QStringLiteral(
        "INSERT INTO CategoryList (ID, Name, BackColor, ForeColor, CatData1, CatData2) "
        "VALUES (?1, ?2, ?3, -1, '', '')"));
    // A new database starts with categories named in the language of the
    // program that made it: the window's, or English from the command line.
    for (const DefaultCategory &category : kDefaultCategories) {
        add.bind(1, category.id)
            .bind(2, QCoreApplication::translate("TaskSchema", category.name))
            .bind(3, category.backColor);
        add.run();
    }
    createStateTables(db);
    db.exec(QStringLiteral("PRAGMA user_version = ") % QString::number(kUserVersion));
}

void createStateTables(sql::Database &db)
{
    db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS ProgramState (\n"
                           "  Name TEXT PRIMARY KEY NOT NULL CHECK (typeof(Name) = 'text'),\n"
                           "  Value TEXT)"));
    // List and ID are both empty for a task deleted here that the server
    // still holds: the row stays until the server has let it go too.
    db.exec(QStringLiteral(
        "CREATE TABLE IF NOT EXISTS SyncState (\n"
        "  Uid TEXT PRIMARY KEY NOT NULL CHECK (typeof(Uid) = 'text' AND Uid <> ''),\n"
        "  List TEXT CHECK (typeof(List) IN ('text', 'null')),\n"
        "  ID INTEGER CHECK (ID IS NULL OR (typeof(ID) = 'integer' AND "
        "ID BETWEEN -2147483648 AND 2147483647)),\n"
        "  Href TEXT CHECK (typeof(Href) IN ('text', 'null')),\n"
        "  ETag TEXT CHECK (typeof(ETag) IN ('text', 'null')),\n"
        "  Base TEXT CHECK (typeof(Base) IN ('text', 'null')),\n"
        "  CHECK ((List IS NULL) = (ID IS NULL)))"));
    // Moves and deletes find a task's row by its place; a pull by the
    // resource's name.
    db.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS SyncStatePlace ON SyncState (List, ID)"));
    db.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS SyncStateHref ON SyncState (Href)"));
}

Schema readSchema(sql::Database &db)
{
    Schema schema;
    sql::Statement objects = db.prepare(
        QStringLiteral("SELECT type, name, tbl_name, coalesce(sql, '') FROM sqlite_schema"));
    while (objects.step())
        schema.objects.append({objects.text(0), objects.text(1), objects.text(2),
                               objects.text(3)});
    // One statement for the columns of every table: the open of a file that
    // is read for a single command pays for the check once.
    sql::Statement columns = db.prepare(QStringLiteral(
        "SELECT m.name, c.name FROM sqlite_schema AS m, pragma_table_xinfo(m.name) AS c "
        "WHERE m.type = 'table' ORDER BY m.name, c.cid"));
    while (columns.step())
        schema.columns[columns.text(0)].append(columns.text(1));
    return schema;
}

QStringList syncStateColumns()
{
    return {QStringLiteral("Uid"),  QStringLiteral("List"), QStringLiteral("ID"),
            QStringLiteral("Href"), QStringLiteral("ETag"), QStringLiteral("Base")};
}

bool hasStateTables(const Schema &schema)
{
    return schema.columns.contains(QStringLiteral("ProgramState"))
        && schema.columns.contains(QStringLiteral("SyncState"));
}

QString foreignParts(const Schema &schema, Strictness strictness)
{
    const std::array<std::pair<QString, QStringList>, 5> tables {{
        {QStringLiteral("Chronodeck"), taskColumns()},
        {QStringLiteral("CategoryList"), categoryColumns()},
        {QStringLiteral("ProjectList"), projectColumns()},
        {QStringLiteral("ProgramState"), {QStringLiteral("Name"), QStringLiteral("Value")}},
        {QStringLiteral("SyncState"), syncStateColumns()},
    }};
    const QStringList indexes {QStringLiteral("ChronodeckListID"),
                               QStringLiteral("sqlite_autoindex_ProgramState_1"),
                               QStringLiteral("sqlite_autoindex_SyncState_1"),
                               QStringLiteral("SyncStatePlace"), QStringLiteral("SyncStateHref")};
    QStringList foreign;
    for (const Schema::Object &object : schema.objects) {
        const bool virtualTable
            = object.sql.startsWith(QStringLiteral("CREATE VIRTUAL"), Qt::CaseInsensitive);
        if (object.type == QStringLiteral("trigger") || object.type == QStringLiteral("view")
            || virtualTable) {
            foreign << (virtualTable ? QStringLiteral("virtual table") : object.type)
                    % QLatin1Char(' ') % object.name;
            continue;
        }
        if (strictness != Strictness::Exact)
            continue;
        const auto known = std::find_if(tables.begin(), tables.end(),
                                        [&](const auto &t) { return t.first == object.table; });
        if (object.type == QStringLiteral("table")) {
            // The engine's own statistics hold numbers only.
            if (known == tables.end() && !object.name.startsWith(QStringLiteral("sqlite_stat")))
                foreign << QStringLiteral("table ") % object.name;
        } else if (object.type == QStringLiteral("index")) {
            if (known == tables.end() || !indexes.contains(object.name))
                foreign << QStringLiteral("index ") % object.name;
        } else {
            foreign << object.type % QLatin1Char(' ') % object.name;
        }
    }
    if (strictness == Strictness::Exact) {
        for (const auto &[table, columns] : tables) {
            for (const QString &column : schema.columns.value(table)) {
                if (!columns.contains(column, Qt::CaseInsensitive))
                    foreign << table % QLatin1Char('.') % column;
            }
        }
    }
    return foreign.join(QStringLiteral(", "));
}

QString missingParts(const Schema &schema)
{
    const std::array<std::pair<QString, QStringList>, 4> expected {{
        {QStringLiteral("Chronodeck"), taskColumns()},
        {QStringLiteral("CategoryList"), categoryColumns()},
        {QStringLiteral("ProjectList"), projectColumns()},
        {QStringLiteral("SyncState"), syncStateColumns()},
    }};
    QStringList missing;
    for (const auto &[table, columns] : expected) {
        const QStringList present = schema.columns.value(table);
        // A file of an earlier version gets the sync table when opened; one
        // that has it must have all of it, or every move would fail.
        if (present.isEmpty() && table == QStringLiteral("SyncState"))
            continue;
        if (present.isEmpty()) {
            missing << QStringLiteral("table ") % table;
            continue;
        }
        for (const QString &column : columns) {
            if (!present.contains(column, Qt::CaseInsensitive))
                missing << table % QLatin1Char('.') % column;
        }
    }
    return missing.join(QStringLiteral(", "));
}

} // namespace cdk::schema
