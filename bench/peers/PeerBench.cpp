// The list next to what a Qt developer would write for the same task, measured in one run.
//
// Each task runs the list and its peer alternately, several rounds each, and prints the median
// CPU time (process CPU time: the machine may be shared) of both and their ratio:
//
//   LoadFromCSV              vs  std::vector<QString> model, memchr splitter, one fromUtf8 per field
//   heap per loaded cell     vs  that vector model, and QStandardItemModel
//   sort by text             vs  std::stable_sort over precomputed QString keys
//   sort numbers + suffix    vs  std::stable_sort over keys parsed with std::from_chars
//   sort dd-mm-yyyy          vs  std::stable_sort over integer date keys
//   sort by text             vs  QSortFilterProxyModel over QStandardItemModel
//   AutoSizeColumns          vs  QTableView::resizeColumnsToContents (every row measured)
//   paint one viewport       vs  QTableView over a table model of the vector
//
// Sizes are options so that a smoke run stays small:
//   bench_peers [--rows N] [--autosize-rows N] [--model-rows N] [--rounds N] [--only WORD]
// --model-rows sizes the QStandardItemModel peers (they take several times the memory).
#include "exchange/CsvFiles.h"
#include "listview/TOrvListView.h"
#include "listview/ops/SortEngine.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <malloc.h>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

struct TOptions {
    int rows = 1000000;
    int autosizeRows = 100000;
    int modelRows = 100000;
    int rounds = 3;
    std::string only;
};

double CpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// One measured round: `prepare` (not timed), then `work` (timed), then `finish` (not timed).
struct TRound {
    std::function<void()> prepare;
    std::function<void()> work;
    std::function<void()> finish;
};

double MedianSeconds(int rounds, const TRound& project, const TRound& peer, double& peerSeconds)
{
    std::vector<double> mine, theirs;
    auto once = [](const TRound& r) {
        if (r.prepare)
            r.prepare();
        const double t0 = CpuSeconds();
        r.work();
        const double t = CpuSeconds() - t0;
        if (r.finish)
            r.finish();
        return t;
    };
    for (int i = 0; i < rounds; ++i) {
        mine.push_back(once(project));
        theirs.push_back(once(peer));
    }
    peerSeconds = Median(theirs);
    return Median(mine);
}

void PrintHeader()
{
    std::printf("| Task | Size | Project | Peer | Project / peer |\n|---|---|---|---|---|\n");
    std::fflush(stdout);
}

QString Seconds(double s)
{
    if (s >= 1)
        return QStringLiteral("%1 s").arg(s, 0, 'f', 2);
    if (s >= 0.001)
        return QStringLiteral("%1 ms").arg(s * 1e3, 0, 'f', s >= 0.1 ? 0 : 1);
    return QStringLiteral("%1 us").arg(s * 1e6, 0, 'f', 0);
}

void PrintRow(
    const QString& task, const QString& size, const QString& mine, const QString& peer, double ratio)
{
    std::printf("| %s | %s | %s | %s | %.2fx |\n", qPrintable(task), qPrintable(size), qPrintable(mine),
        qPrintable(peer), ratio);
    std::fflush(stdout);
}

void PrintTimes(const QString& task, const QString& size, double mine, const QString& peerName, double peer)
{
    PrintRow(task, size, Seconds(mine), peerName + QStringLiteral(": ") + Seconds(peer),
        peer > 0 ? mine / peer : 0);
}

QString Size(int rows, int columns)
{
    return QLocale::c().toString(rows) + QStringLiteral(" x ") + QString::number(columns);
}

std::size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// ---- the peer's model: what an afternoon's work gives --------------------------------------

// Every cell in one vector, row after row.
struct TVectorModel {
    int columns = 0;
    QStringList captions;
    std::vector<QString> cells;
    int Rows() const { return columns ? int(cells.size() / size_t(columns)) : 0; }
    const QString& Cell(int row, int column) const
    {
        return cells[size_t(row) * size_t(columns) + size_t(column)];
    }
};

// Lines end at LF (a CR before it is dropped), fields at commas, the first line holds captions.
void LoadVectorModel(const QString& path, TVectorModel& model)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    const char* p = bytes.constData();
    const char* end = p + bytes.size();
    // Room for every cell up front: lines from a count of the line feeds, fields from the first.
    const char* firstEnd = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
    const qsizetype fieldsPerLine = 1 + QByteArrayView(p, firstEnd ? firstEnd - p : end - p).count(',');
    model.cells.reserve(size_t(bytes.count('\n') + 1) * size_t(fieldsPerLine));
    bool header = true;
    while (p < end) {
        const char* nl = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
        const char* lineEnd = nl ? nl : end;
        const char* stop = lineEnd > p && lineEnd[-1] == '\r' ? lineEnd - 1 : lineEnd;
        int fields = 0;
        const char* f = p;
        for (;;) {
            const char* comma = static_cast<const char*>(std::memchr(f, ',', size_t(stop - f)));
            const char* fieldEnd = comma ? comma : stop;
            QString text = QString::fromUtf8(f, fieldEnd - f);
            if (header)
                model.captions << text;
            else
                model.cells.push_back(std::move(text));
            ++fields;
            if (!comma)
                break;
            f = comma + 1;
        }
        if (header) {
            model.columns = fields;
            header = false;
        } else {
            for (; fields < model.columns; ++fields)
                model.cells.emplace_back();
        }
        p = nl ? nl + 1 : end;
    }
}

// A table model over the vector, as one writes it for a QTableView.
class TVectorTableModel : public QAbstractTableModel {
public:
    explicit TVectorTableModel(const TVectorModel& model)
        : m_model(model)
    { }
    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : m_model.Rows();
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : m_model.columns;
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return m_model.Cell(index.row(), index.column());
    }

private:
    const TVectorModel& m_model;
};

// ---- data ----------------------------------------------------------------------------------

constexpr int kCsvColumns = 7;

// Cells of ten ASCII characters, as a typical spreadsheet export holds; CR LF line ends.
QString WriteCsv(const QTemporaryDir& dir, int rows)
{
    const QString path = dir.filePath(QStringLiteral("peers%1.csv").arg(rows));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return path;
    QByteArray out;
    for (int c = 0; c < kCsvColumns; ++c)
        out += (c ? "," : "") + QByteArray("Column ") + QByteArray::number(c);
    out += "\r\n";
    char line[160];
    for (int r = 0; r < rows; ++r) {
        int n = std::snprintf(line, sizeof line, "r%09d", r);
        for (int c = 1; c < kCsvColumns; ++c)
            n += std::snprintf(line + n, sizeof line - size_t(n), ",c%dx%07d", c, r % 100000);
        out.append(line, n);
        out += "\r\n";
        if (out.size() > (1 << 22)) {
            file.write(out);
            out.clear();
        }
    }
    file.write(out);
    return path;
}

// Sort data: caption = random eight-letter word, sub-item 0 = "<n>pk", sub-item 1 = dd-mm-yyyy.
struct TSortData {
    std::vector<QString> words, numbers, dates;
};

TSortData MakeSortData(int rows)
{
    TSortData d;
    QRandomGenerator rng(42);
    d.words.reserve(size_t(rows));
    d.numbers.reserve(size_t(rows));
    d.dates.reserve(size_t(rows));
    for (int i = 0; i < rows; ++i) {
        QString word(8, Qt::Uninitialized);
        for (int k = 0; k < 8; ++k)
            word[k] = QChar(u'a' + rng.bounded(26));
        d.words.push_back(word);
        d.numbers.push_back(QString::number(rng.bounded(100000)) + QStringLiteral("pk"));
        const int day = 1 + rng.bounded(28), month = 1 + rng.bounded(12), year = 1950 + rng.bounded(70);
        d.dates.push_back(
            QStringLiteral("%1-%2-%3").arg(day, 2, 10, QChar(u'0')).arg(month, 2, 10, QChar(u'0')).arg(year));
    }
    return d;
}

std::vector<int> Shuffled(int n, unsigned seed)
{
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), std::mt19937(seed));
    return order;
}

// ---- tasks ---------------------------------------------------------------------------------

void CsvLoad(const TOptions& o, const QString& csv)
{
    std::unique_ptr<TOrvListView> list;
    std::unique_ptr<TVectorModel> model;
    TRound mine { [&] {
                     list = std::make_unique<TOrvListView>();
                     list->SetLoadHeader(true);
                 },
        [&] { list->LoadFromCSV(csv); }, [&] { list.reset(); } };
    TRound theirs { [&] { model = std::make_unique<TVectorModel>(); }, [&] { LoadVectorModel(csv, *model); },
        [&] { model.reset(); } };
    double peer = 0;
    const double t = MedianSeconds(o.rounds, mine, theirs, peer);
    PrintTimes(QStringLiteral("LoadFromCSV"), Size(o.rows, kCsvColumns), t,
        QStringLiteral("vector model, memchr split, fromUtf8 per field"), peer);
}

void CsvHeap(const TOptions& o, const QString& csv, const QString& smallCsv)
{
    const double cells = double(o.rows) * kCsvColumns;
    malloc_trim(0);
    auto list = std::make_unique<TOrvListView>();
    list->SetLoadHeader(true);
    std::size_t before = HeapInUse();
    list->LoadFromCSV(csv);
    const double mine = double(HeapInUse() - before) / cells;
    list.reset();

    malloc_trim(0);
    auto model = std::make_unique<TVectorModel>();
    before = HeapInUse();
    LoadVectorModel(csv, *model);
    const double vectorPeer = double(HeapInUse() - before) / cells;
    model.reset();

    // QStandardItemModel from the same cells (fewer rows: it takes several times the memory).
    malloc_trim(0);
    TVectorModel source;
    LoadVectorModel(smallCsv, source);
    before = HeapInUse();
    auto standard = std::make_unique<QStandardItemModel>(source.Rows(), source.columns);
    for (int r = 0; r < source.Rows(); ++r)
        for (int c = 0; c < source.columns; ++c)
            standard->setItem(
                r, c, new QStandardItem(QString(source.Cell(r, c).constData(), source.Cell(r, c).size())));
    // Each item holds a copy of its own, as when the texts come from a file.
    const double standardPeer = double(HeapInUse() - before) / (double(source.Rows()) * source.columns);
    standard.reset();

    auto bytes = [](double b) { return QStringLiteral("%1 B").arg(b, 0, 'f', 0); };
    PrintRow(QStringLiteral("Heap per loaded 10-character cell"), Size(o.rows, kCsvColumns), bytes(mine),
        QStringLiteral("vector model: ") + bytes(vectorPeer), mine / vectorPeer);
    PrintRow(QStringLiteral("Heap per loaded 10-character cell"),
        Size(o.rows, kCsvColumns) + QStringLiteral(" (peer ") + Size(source.Rows(), kCsvColumns)
            + QStringLiteral(")"),
        bytes(mine), QStringLiteral("QStandardItemModel: ") + bytes(standardPeer), mine / standardPeer);
}

// The list with the sort data; `column` 0 = word, 1 = number, 2 = date.
std::unique_ptr<TOrvListView> SortList(const TSortData& d)
{
    auto list = std::make_unique<TOrvListView>();
    for (int c = 0; c < 3; ++c)
        list->Columns().Add().SetCaption(QStringLiteral("Column %1").arg(c));
    TListItems& items = list->Items();
    items.BeginUpdate();
    items.Reserve(int(d.words.size()));
    for (size_t i = 0; i < d.words.size(); ++i) {
        TListItem& item = items.Add();
        item.SetCaption(d.words[i]);
        item.SubItems() << d.numbers[i] << d.dates[i];
    }
    items.EndUpdate();
    return list;
}

// The peer's rows: three texts per row in load order, and the order the view shows them in, which
// a sort replaces (the texts themselves stay where they are).
struct TPeerRows {
    std::vector<QString> words, numbers, dates;
    std::vector<int> view;
    void Permute(const std::vector<int>& order)
    {
        std::vector<int> next(order.size());
        for (size_t i = 0; i < order.size(); ++i)
            next[i] = view[size_t(order[i])];
        view = std::move(next);
    }
    const QString& First(int column) const
    {
        return (column == 0 ? words : column == 1 ? numbers : dates)[size_t(view[0])];
    }
};

double ParseSuffixed(QStringView v, QStringView suffix)
{
    // What a developer writes: drop the suffix, from_chars on the Latin-1 bytes.
    if (v.endsWith(suffix))
        v.chop(suffix.size());
    char buf[64];
    const qsizetype n = std::min<qsizetype>(v.size(), sizeof buf);
    for (qsizetype i = 0; i < n; ++i)
        buf[i] = char(v[i].unicode());
    double value = 0;
    std::from_chars(buf, buf + n, value);
    return value;
}

int DateKey(QStringView s)
{
    // dd-mm-yyyy as yyyymmdd.
    auto num = [&](int from, int len) {
        int v = 0;
        for (int i = from; i < from + len && i < s.size(); ++i)
            v = v * 10 + (s[i].unicode() - '0');
        return v;
    };
    return num(6, 4) * 10000 + num(3, 2) * 100 + num(0, 2);
}

// Keys of the rows in view order, sorted stably; the view takes the new order.
template <class Key, class MakeKey>
void PeerSort(TPeerRows& rows, const std::vector<QString>& column, MakeKey makeKey)
{
    std::vector<std::pair<Key, int>> keys;
    keys.reserve(rows.view.size());
    for (size_t i = 0; i < rows.view.size(); ++i)
        keys.emplace_back(makeKey(QStringView(column[size_t(rows.view[i])])), int(i));
    std::stable_sort(
        keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<int> order(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        order[i] = keys[i].second;
    rows.Permute(order);
}

void Sorts(const TOptions& o)
{
    const TSortData data = MakeSortData(o.rows);
    std::unique_ptr<TOrvListView> list = SortList(data);
    TPeerRows peerRows { data.words, data.numbers, data.dates, {} };
    peerRows.view.resize(size_t(o.rows));
    std::iota(peerRows.view.begin(), peerRows.view.end(), 0);
    const std::vector<int> shuffle = Shuffled(o.rows, 7);

    struct TCase {
        QString name;
        int column;
        TSortStyle style;
        QString suffix;
        bool handler;
        QString peerName;
    };
    const TCase cases[] = {
        { QStringLiteral("Sort by text, OnGetFormat assigned"), 0, ssText, {}, true,
            QStringLiteral("std::stable_sort over QStringView keys") },
        { QStringLiteral("Sort by text, no OnGetFormat"), 0, ssText, {}, false,
            QStringLiteral("std::stable_sort over QStringView keys") },
        { QStringLiteral("Sort numbers with suffix (OnGetFormat per comparison)"), 1, ssNumber,
            QStringLiteral("pk"), true, QStringLiteral("std::stable_sort over from_chars keys") },
        { QStringLiteral("Sort dd-mm-yyyy dates (OnGetFormat per comparison)"), 2, ssDateDMY, {}, true,
            QStringLiteral("std::stable_sort over integer date keys") },
    };
    for (const TCase& c : cases) {
        if (c.handler)
            list->OnGetFormat = [&c](TOrvListView&, int, TSortStyle& style, QString&, QString& suffix) {
                style = c.style;
                if (!c.suffix.isEmpty())
                    suffix = c.suffix;
            };
        else
            list->OnGetFormat = nullptr;
        TRound mine { [&] {
                         list->Items().ApplyOrder(shuffle);
                         list->SetSortDirection(sdAscending);
                     },
            [&] { list->SortByColumn(c.column); }, {} };
        TRound theirs { [&] { peerRows.Permute(shuffle); },
            [&] {
                if (c.column == 0)
                    PeerSort<QStringView>(peerRows, peerRows.words, [](QStringView s) { return s; });
                else if (c.column == 1)
                    PeerSort<double>(peerRows, peerRows.numbers,
                        [&](QStringView s) { return ParseSuffixed(s, c.suffix); });
                else
                    PeerSort<int>(peerRows, peerRows.dates, DateKey);
            },
            {} };
        double peer = 0;
        const double t = MedianSeconds(o.rounds, mine, theirs, peer);
        // Both must have put the same texts first.
        const bool agree = list->Cells(c.column, 0) == peerRows.First(c.column);
        PrintTimes(c.name + (agree ? QString() : QStringLiteral(" (ORDERS DIFFER)")), Size(o.rows, 1), t,
            c.peerName, peer);
    }

    // QSortFilterProxyModel over a QStandardItemModel of the words.
    const int n = std::min(o.modelRows, o.rows);
    QStandardItemModel standard(n, 1);
    for (int i = 0; i < n; ++i)
        standard.setItem(i, 0, new QStandardItem(data.words[size_t(i)]));
    std::unique_ptr<QSortFilterProxyModel> proxy;
    std::unique_ptr<TOrvListView> small = SortList(TSortData { { data.words.begin(), data.words.begin() + n },
        { data.numbers.begin(), data.numbers.begin() + n }, { data.dates.begin(), data.dates.begin() + n } });
    small->OnGetFormat = [](TOrvListView&, int, TSortStyle& style, QString&, QString&) { style = ssText; };
    const std::vector<int> smallShuffle = Shuffled(n, 9);
    TRound mine { [&] { small->Items().ApplyOrder(smallShuffle); }, [&] { small->SortByColumn(0); }, {} };
    TRound theirs { [&] {
                       proxy = std::make_unique<QSortFilterProxyModel>();
                       proxy->setSourceModel(&standard);
                   },
        [&] { proxy->sort(0, Qt::AscendingOrder); }, [&] { proxy.reset(); } };
    double peer = 0;
    const double t = MedianSeconds(o.rounds, mine, theirs, peer);
    PrintTimes(QStringLiteral("Sort by text, OnGetFormat assigned"), Size(n, 1), t,
        QStringLiteral("QSortFilterProxyModel::sort over QStandardItemModel"), peer);
}

// Rows as the demo's catalogue has them: two marked-up columns, a URL, plain text, a number.
QString AutoSizeCell(int row, int column)
{
    switch (column) {
    case 0:
        return QStringLiteral("<b>Row</b> <font color=\"clred\">%1</font>").arg(row);
    case 1:
        return QStringLiteral("http://www.example.org/item/%1").arg(row);
    case 2:
        return QStringLiteral("plain cell text");
    case 3:
        return QStringLiteral("<i>italic</i> and <u>underlined</u> %1").arg(row % 1000);
    default:
        return QString::number(row * 7);
    }
}

constexpr int kAutoSizeColumns = 5;

void AutoSize(const TOptions& o)
{
    const int rows = o.autosizeRows;
    TOrvListView list;
    list.SetURLShow(true);
    for (int c = 0; c < kAutoSizeColumns; ++c)
        list.Columns().Add().SetCaption(QStringLiteral("Column %1").arg(c));
    list.Items().BeginUpdate();
    for (int r = 0; r < rows; ++r) {
        TListItem& item = list.Items().Add();
        item.SetCaption(AutoSizeCell(r, 0));
        for (int c = 1; c < kAutoSizeColumns; ++c)
            item.SubItems() << AutoSizeCell(r, c);
    }
    list.Items().EndUpdate();
    list.resize(800, 600);
    list.show();

    QStandardItemModel model(rows, kAutoSizeColumns);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < kAutoSizeColumns; ++c)
            model.setItem(r, c, new QStandardItem(AutoSizeCell(r, c)));
    QTableView view;
    view.setModel(&model);
    view.horizontalHeader()->setResizeContentsPrecision(-1); // every row, as the list does
    view.resize(800, 600);
    view.show();
    QApplication::processEvents();

    TRound mine { {}, [&] { list.AutoSizeColumns(); }, {} };
    TRound theirs { {}, [&] { view.resizeColumnsToContents(); }, {} };
    double peer = 0;
    const double t = MedianSeconds(o.rounds, mine, theirs, peer);
    PrintTimes(QStringLiteral("AutoSizeColumns, two markup columns"), Size(rows, kAutoSizeColumns), t,
        QStringLiteral("QTableView::resizeColumnsToContents"), peer);
}

void Paint(const TOptions& o, const QString& csv)
{
    TOrvListView list;
    list.SetLoadHeader(true);
    list.LoadFromCSV(csv);
    for (int c = 0; c < list.Columns().Count(); ++c)
        list.Columns()[c].SetWidth(100);
    list.resize(800, 600);
    list.show();
    list.EnsureVisible(list.Items().Count() / 2);

    TVectorModel model;
    LoadVectorModel(csv, model);
    TVectorTableModel table(model);
    QTableView view;
    view.setModel(&table);
    // The same rows and columns on screen as the list shows.
    view.verticalHeader()->setMinimumSectionSize(1);
    view.verticalHeader()->setDefaultSectionSize(list.ItemHeight());
    view.horizontalHeader()->setDefaultSectionSize(100);
    view.resize(800, 600);
    view.show();
    view.scrollTo(table.index(model.Rows() / 2, 0));
    QApplication::processEvents();

    QImage mineImage(list.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    QImage theirImage(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    constexpr int kPaints = 20;
    TRound mine { {},
        [&] {
            for (int i = 0; i < kPaints; ++i)
                list.viewport()->render(&mineImage);
        },
        {} };
    TRound theirs { {},
        [&] {
            for (int i = 0; i < kPaints; ++i)
                view.viewport()->render(&theirImage);
        },
        {} };
    double peer = 0;
    const double t = MedianSeconds(o.rounds, mine, theirs, peer) / kPaints;
    PrintTimes(QStringLiteral("Paint one viewport (800 x 600, %1 rows of %2 pixels)")
                   .arg(list.VisibleRowCount())
                   .arg(list.ItemHeight()),
        Size(o.rows, kCsvColumns), t, QStringLiteral("QTableView over a vector table model"), peer / kPaints);
}

bool Wanted(const TOptions& o, const char* task)
{
    return o.only.empty() || o.only == task;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TOptions o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const char* value = argv[i + 1];
        if (key == "--rows")
            o.rows = std::max(2, std::atoi(value));
        else if (key == "--autosize-rows")
            o.autosizeRows = std::max(1, std::atoi(value));
        else if (key == "--model-rows")
            o.modelRows = std::max(2, std::atoi(value));
        else if (key == "--rounds")
            o.rounds = std::max(1, std::atoi(value));
        else if (key == "--only")
            o.only = value;
        else
            std::fprintf(stderr, "unknown option %s\n", key.c_str());
    }

    QTemporaryDir dir;
    PrintHeader();
    if (Wanted(o, "csv") || Wanted(o, "heap") || Wanted(o, "paint")) {
        const QString csv = WriteCsv(dir, o.rows);
        if (Wanted(o, "csv"))
            CsvLoad(o, csv);
        if (Wanted(o, "heap"))
            CsvHeap(o, csv, o.modelRows < o.rows ? WriteCsv(dir, o.modelRows) : csv);
        if (Wanted(o, "paint"))
            Paint(o, csv);
    }
    if (Wanted(o, "sort"))
        Sorts(o);
    if (Wanted(o, "autosize"))
        AutoSize(o);
    return 0;
}
