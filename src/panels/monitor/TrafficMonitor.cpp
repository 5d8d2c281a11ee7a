#include "panels/monitor/TrafficMonitor.h"

#include "engine/CSessionWriter.h"
#include "engine/FileSaver.h"
#include "engine/ScriptWriter.h"
#include "engine/TrafficFormat.h"
#include "panels/Dialogs.h"
#include "panels/PanelWidgets.h"
#include "panels/monitor/TrafficTableModel.h"
#include "picture/CIdentifier.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <set>
#include <vector>

using engine::Direction;
using engine::TrafficRow;

namespace {

const QString kTitle = QStringLiteral("Traffic Monitor");

} // namespace

TrafficMonitor::TrafficMonitor(Dialogs& dialogs, QWidget* parent, qsizetype maxRows,
                               qint64 maxBytes)
    : QWidget(parent, Qt::Window), dialogs_(dialogs), log_(maxRows, maxBytes),
      clock_([] { return QDateTime::currentMSecsSinceEpoch(); }) {
    widgets::readAsWindow(this);
    setObjectName(QStringLiteral("TrafficMonitor"));
    setWindowTitle(kTitle);
    setAccessibleName(kTitle);
    using widgets::button;

    model_ = new TrafficTableModel(log_, this);
    model_->setObjectName(QStringLiteral("trafficModel"));

    pauseButton_ = button(this, "pauseButton", QStringLiteral("&Pause"));
    pauseButton_->setCheckable(true);
    pauseButton_->setToolTip(QStringLiteral("Rows are still recorded; the table holds still"));
    clearButton_ = button(this, "clearButton", QStringLiteral("C&lear"));
    copyButton_ = button(this, "copyButton", QStringLiteral("&Copy"));
    copyButton_->setToolTip(QStringLiteral("Copy the selected rows as text (Ctrl+C)"));
    saveButton_ = button(this, "saveButton", QStringLiteral("&Save..."));
    saveButton_->setToolTip(QStringLiteral("Save the rows shown as text or CSV"));
    saveScriptButton_ = button(this, "saveScriptButton", QStringLiteral("Save as Sc&ript..."));
    saveScriptButton_->setToolTip(
        QStringLiteral("Save what was sent to the board as a vantrelctl script or as C source"));

    directionFilter_ = new QComboBox(this);
    directionFilter_->setObjectName(QStringLiteral("directionFilter"));
    directionFilter_->setAccessibleName(QStringLiteral("Show"));
    directionFilter_->addItem(QStringLiteral("Both directions"));
    directionFilter_->addItem(QStringLiteral("To the board"));
    directionFilter_->addItem(QStringLiteral("From the board"));
    QLabel* filterLabel = widgets::label(this, QStringLiteral("S&how:"), directionFilter_);

    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("trafficTable"));
    table_->setAccessibleName(QStringLiteral("Traffic"));
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->setShowGrid(false);
    table_->setAlternatingRowColors(true);
    table_->setTabKeyNavigation(false);
    table_->verticalHeader()->hide();
    // Every row one line high, so that the table never measures its rows.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    QHeaderView* header = table_->horizontalHeader();
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setStretchLastSection(true);
    header->setSectionResizeMode(QHeaderView::Interactive);
    const QFontMetrics fm = fontMetrics();
    header->resizeSection(TrafficTableModel::TimeColumn,
                          fm.horizontalAdvance(QStringLiteral("▾ 00:00:00.000")) + 24);
    header->resizeSection(TrafficTableModel::DirectionColumn,
                          fm.horizontalAdvance(QStringLiteral("from board")) + 24);
    // Room for eight bytes: every message that is not a string, and short replies.
    header->resizeSection(TrafficTableModel::BytesColumn,
                          QFontMetrics(QFontDatabase::systemFont(QFontDatabase::FixedFont))
                                  .horizontalAdvance(QString(23, u'0')) +
                              24);
    table_->installEventFilter(this);

    rowCountLabel_ = new QLabel(this);
    rowCountLabel_->setObjectName(QStringLiteral("rowCountLabel"));
    droppedLabel_ = new QLabel(this);
    droppedLabel_->setObjectName(QStringLiteral("droppedLabel"));
    droppedLabel_->setWordWrap(true);
    droppedLabel_->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(pauseButton_);
    buttons->addWidget(clearButton_);
    buttons->addWidget(copyButton_);
    buttons->addWidget(saveButton_);
    buttons->addWidget(saveScriptButton_);
    buttons->addStretch(1);
    buttons->addWidget(filterLabel);
    buttons->addWidget(directionFilter_);
    auto* counts = new QHBoxLayout;
    counts->addWidget(rowCountLabel_);
    counts->addWidget(droppedLabel_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(table_, 1);
    layout->addLayout(counts);
    setTabOrder(pauseButton_, clearButton_);
    setTabOrder(clearButton_, copyButton_);
    setTabOrder(copyButton_, saveButton_);
    setTabOrder(saveButton_, saveScriptButton_);
    setTabOrder(saveScriptButton_, directionFilter_);
    setTabOrder(directionFilter_, table_);
    resize(900, 480);

    refreshTimer_ = new QTimer(this);
    refreshTimer_->setObjectName(QStringLiteral("refreshTimer"));
    refreshTimer_->setInterval(kRefreshMs);
    connect(refreshTimer_, &QTimer::timeout, this, &TrafficMonitor::refresh);
    connect(pauseButton_, &QPushButton::toggled, this, &TrafficMonitor::setPaused);
    connect(clearButton_, &QPushButton::clicked, this, &TrafficMonitor::clear);
    connect(copyButton_, &QPushButton::clicked, this, &TrafficMonitor::copySelection);
    connect(saveButton_, &QPushButton::clicked, this, &TrafficMonitor::save);
    connect(saveScriptButton_, &QPushButton::clicked, this, &TrafficMonitor::saveScript);
    connect(directionFilter_, &QComboBox::currentIndexChanged, this, [this](int index) {
        model_->setFilter(TrafficTableModel::Filter(index));
        refresh();
    });
    connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        model_->setExpanded(index.row(), !model_->isExpanded(index.row()));
    });
    showCounts();
}

TrafficMonitor::~TrafficMonitor() = default;

bool TrafficMonitor::paused() const {
    return pauseButton_->isChecked();
}

void TrafficMonitor::record(Direction direction, const QByteArray& bytes) {
    log_.append(clock_(), direction, bytes);
}

void TrafficMonitor::refresh() {
    const QScrollBar* bar = table_->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    model_->sync(paused());
    if (following && !paused())
        table_->scrollToBottom();
    showCounts();
}

void TrafficMonitor::showCounts() {
    const qsizetype rows = log_.rowCount();
    QString text =
        rows == 1 ? QStringLiteral("1 row recorded") : QStringLiteral("%1 rows recorded").arg(rows);
    if (paused())
        text += QStringLiteral(", paused");
    rowCountLabel_->setText(text);
    const QString dropped = engine::droppedNote(log_);
    droppedLabel_->setText(dropped);
    droppedLabel_->setAccessibleName(dropped);
    droppedLabel_->setVisible(!dropped.isEmpty());
}

void TrafficMonitor::setPaused(bool paused) {
    if (pauseButton_->isChecked() != paused)
        pauseButton_->setChecked(paused); // comes back here through toggled
    else
        refresh();
}

void TrafficMonitor::clear() {
    log_.clear();
    model_->reset();
    showCounts();
}

// --- copying and saving --------------------------------------------------------------------

QString TrafficMonitor::selectedText() const {
    std::set<int> rows;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows())
        rows.insert(index.row());
    QStringList lines;
    int foldCopied = -1; // the fold whose rows were all copied already
    for (const int row : rows) {
        const int entryRow = model_->entryRowOf(row);
        if (entryRow != row && entryRow == foldCopied)
            continue;
        if (model_->isFold(row))
            foldCopied = row;
        for (const TrafficRow* r : model_->logRowsAt(row))
            lines << engine::textLine(*r);
    }
    return lines.isEmpty() ? QString() : lines.join(u'\n') + u'\n';
}

void TrafficMonitor::copySelection() {
    const QString text = selectedText();
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

bool TrafficMonitor::writeFile(const QString& fileName, const QString& text) {
    const QString why = engine::FileSaver::save(fileName, text.toUtf8());
    if (!why.isEmpty())
        dialogs_.message(this,
                         QStringLiteral("The file %1 could not be written: %2.\n\nThe rows stay "
                                        "in the monitor.")
                             .arg(QDir::toNativeSeparators(fileName), why),
                         MessageStyle::CriticalOk, QStringLiteral("Error"));
    return why.isEmpty();
}

void TrafficMonitor::save() {
    const QString fileName =
        dialogs_.saveFileName(this, QStringLiteral("Text (*.txt);;CSV (*.csv)"),
                              suggestedFileName(QStringLiteral("traffic"), QStringLiteral("txt")));
    if (fileName.isEmpty())
        return;
    const auto format = fileName.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)
                            ? engine::TrafficFileFormat::Csv
                            : engine::TrafficFileFormat::Text;
    writeFile(fileName, engine::trafficFile(log_, format, [this](const TrafficRow& row) {
                  return model_->passes(row.direction);
              }));
}

std::vector<TrafficRow> TrafficMonitor::sentRows() const {
    std::vector<TrafficRow> rows;
    rows.reserve(std::size_t(log_.rowCount()));
    log_.forEachRow([&](const TrafficRow& row) {
        if (row.direction == Direction::ToBoard)
            rows.push_back(row);
    });
    return rows;
}

QString TrafficMonitor::scriptText() const {
    const std::vector<TrafficRow> rows = sentRows();
    QStringList lines;
    lines << QStringLiteral("# vantrelctl script saved by the Vantrel traffic monitor on %1")
                 .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    lines << QStringLiteral("# Run it with: vantrelctl --port N script FILE");
    if (log_.droppedRows() > 0)
        lines << QStringLiteral("# ") + engine::droppedNote(log_) +
                     QStringLiteral(" The script starts at the oldest row kept.");
    lines << engine::ScriptWriter::lines(rows);
    return lines.join(u'\n') + u'\n';
}

void TrafficMonitor::saveScript() {
    bool anySent = false;
    log_.forEachRow([&](const TrafficRow& row) {
        anySent = anySent || (row.direction == Direction::ToBoard && !row.bytes.isEmpty());
    });
    if (!anySent) {
        dialogs_.message(this, QStringLiteral("Nothing has been sent to the board yet."),
                         MessageStyle::InformationOk, kTitle);
        return;
    }
    const QString fileName = dialogs_.saveFileName(
        this, QStringLiteral("vantrelctl script (*.txt);;C source (*.c *.h);;All files (*)"),
        suggestedFileName(QStringLiteral("script"), QStringLiteral("txt")));
    if (fileName.isEmpty())
        return;
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix != QStringLiteral("c") && suffix != QStringLiteral("h")) {
        writeFile(fileName, scriptText());
        return;
    }
    QString origin = QStringLiteral("the Vantrel traffic monitor");
    if (log_.droppedRows() > 0)
        origin += QStringLiteral(", from the oldest row kept (") + engine::droppedNote(log_) +
                  u')';
    writeFile(fileName, QString::fromUtf8(engine::CSessionWriter::write(
                            sentRows(), CIdentifier::of(QFileInfo(fileName).completeBaseName()),
                            origin)));
}

// --- the window ----------------------------------------------------------------------------

void TrafficMonitor::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
    table_->scrollToBottom();
    refreshTimer_->start();
    emit shownChanged(true);
}

void TrafficMonitor::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    refreshTimer_->stop();
    emit shownChanged(false);
}

bool TrafficMonitor::eventFilter(QObject* watched, QEvent* event) {
    if (watched != table_ || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Copy)) {
        copySelection();
        return true;
    }
    const int row = table_->currentIndex().row();
    if (row < 0)
        return false;
    switch (key->key()) {
    case Qt::Key_Right:
    case Qt::Key_Plus:
        if (model_->isFold(row) && !model_->isExpanded(row)) {
            model_->setExpanded(row, true);
            return true;
        }
        return false;
    case Qt::Key_Left:
    case Qt::Key_Minus: {
        // On a row inside a fold, Left goes to the fold and closes it.
        const int fold = model_->entryRowOf(row);
        if (!model_->isExpanded(fold))
            return false;
        model_->setExpanded(fold, false);
        table_->setCurrentIndex(model_->index(fold, table_->currentIndex().column()));
        table_->selectRow(fold);
        return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (model_->isFold(row)) {
            model_->setExpanded(row, !model_->isExpanded(row));
            return true;
        }
        return false;
    }
    return false;
}
