#include "app/navigation/Navigator.h"

#include "app/Cp1250.h"
#include "app/EditWin.h"
#include "app/MainWindow.h"
#include "app/navigation/DocumentSymbols.h"
#include "app/navigation/ErrorMarks.h"
#include "app/navigation/NavigationTexts.h"
#include "app/navigation/OutlineDock.h"
#include "editor/TextStore.h"
#include "platform/FileSystem.h"

#include <QAction>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTimer>
#include <QToolTip>

#include <algorithm>

namespace torvane::app {
namespace {

constexpr char kAttachedProperty[] = "torvaneNavigation";

QAction* MakeAction(TfrmTorvane& main, const char* name, const char* caption, const char* hint,
                    const QKeySequence& key) {
    auto* action = new QAction(QString::fromUtf8(caption), &main);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(key);
    action->setStatusTip(QString::fromUtf8(hint));
    action->setToolTip(QString::fromUtf8(hint));
    main.addAction(action);
    return action;
}

TEditWin* DocumentOf(QObject* object) {
    for (QObject* o = object; o; o = o->parent())
        if (auto* win = qobject_cast<TEditWin*>(o)) return win;
    return nullptr;
}

QString Bytes(std::string_view bytes) {
    return Cp1250ToUnicode(std::string(bytes));
}

// The caret (1-based line) on a 0-based line and column, with a few lines of
// context above it.
void PutCaret(TEditWin& win, int line, int column) {
    win.sMemo->SetCaret(line + 1, column + 1);
    win.sMemo->SetTopLine(line + 1 - 5);
    win.sMemo->setFocus();
}

QString ProblemText(const symbols::TScanProblem& p) {
    using Kind = symbols::TScanProblem::Kind;
    switch (p.kind) {
    case Kind::Missing:
        return QString::fromUtf8(text::kProblemMissing);
    case Kind::Unreadable:
        return QString::fromUtf8(text::kProblemUnreadable);
    case Kind::Cycle:
        return QString::fromUtf8(text::kProblemCycle);
    case Kind::TooLarge:
        return QString::fromUtf8(text::kProblemTooLarge);
    case Kind::TooMany:
        return QString::fromUtf8(text::kProblemTooMany);
    case Kind::TooDeep:
        return QString::fromUtf8(text::kProblemTooDeep);
    }
    return {};
}

} // namespace

TNavigator::TNavigator(TfrmTorvane& main)
    : QObject(&main), main_(main), outline_(new TOutlineDock(&main)), errorCount_(new QLabel(&main)) {
    setObjectName(QStringLiteral("navigator"));
    actDefinice =
        MakeAction(main, "actDefinice", text::kActDefinition, text::kActDefinitionHint, Qt::Key_F12);
    actVyskyty = MakeAction(main, "actVyskyty", text::kActUses, text::kActUsesHint, Qt::SHIFT | Qt::Key_F12);
    actDalsiChyba =
        MakeAction(main, "actDalsiChyba", text::kActNextError, text::kActNextErrorHint, Qt::Key_F8);
    actPredchoziChyba = MakeAction(main, "actPredchoziChyba", text::kActPrevError, text::kActPrevErrorHint,
                                   Qt::SHIFT | Qt::Key_F8);
    // Nothing may escape a slot: a failure leaves the documents as they were.
    const auto guarded = [this](auto step) {
        return [this, step] {
            try {
                step();
            } catch (const std::exception& e) {
                ShowStatus(QString::fromLocal8Bit(e.what()));
            }
        };
    };
    connect(actDefinice, &QAction::triggered, this, guarded([this] { GoToDefinition(); }));
    connect(actVyskyty, &QAction::triggered, this, guarded([this] { ListUses(); }));
    connect(actDalsiChyba, &QAction::triggered, this, guarded([this] { GoToError(true); }));
    connect(actPredchoziChyba, &QAction::triggered, this, guarded([this] { GoToError(false); }));

    main.popEditor->addSeparator();
    for (QAction* a : {actDefinice, actVyskyty, actDalsiChyba, actPredchoziChyba})
        main.popEditor->addAction(a);
    main.popEditor->addAction(outline_->toggleViewAction());

    main.addDockWidget(Qt::RightDockWidgetArea, outline_);
    errorCount_->setObjectName(QStringLiteral("stBarChyby"));
    main.statusBar()->addPermanentWidget(errorCount_);
    connect(main.mdiArea, &QMdiArea::subWindowActivated, this, &TNavigator::OnActivated);
}

TErrorMarks* TNavigator::ErrorMarksOf(TEditWin& win) {
    return win.findChild<TErrorMarks*>(QString(), Qt::FindDirectChildrenOnly);
}

void TNavigator::OnActivated(QMdiSubWindow* sub) {
    TEditWin* win = sub ? qobject_cast<TEditWin*>(sub->widget()) : nullptr;
    if (win) Attach(*win);
    cache_.reset();
    outline_->ShowDocument(win);
    ShowErrorCount();
}

void TNavigator::Attach(TEditWin& win) {
    if (win.property(kAttachedProperty).isValid()) return;
    win.setProperty(kAttachedProperty, true);
    auto* marks = new TErrorMarks(win);
    win.CurrentErrorLine = [marks](int line) { return marks->CurrentLine(line); };
    TEditWin* w = &win;
    // The window is the context of every connection: it cuts its editor and
    // list loose before they go, and these go with them.
    connect(marks, &TErrorMarks::CountChanged, w, [this] { ShowErrorCount(); });
    connect(win.sMemo, &TTessary::Changed, w, [this, w](unsigned kinds) {
        if (!(kinds & ckText)) return;
        cache_.reset();
        outline_->DocumentEdited(w);
    });
    connect(win.lstBox, &QListWidget::itemClicked, w,
            [this, w](QListWidgetItem* item) { ListClicked(*w, item); });
    win.sMemo->View().viewport()->installEventFilter(this);
}

void TNavigator::ShowStatus(const QString& text) {
    main_.StatusPanel(4)->setText(text);
}

void TNavigator::ShowErrorCount() {
    TEditWin* win = main_.ActiveEditWin();
    TErrorMarks* marks = win ? ErrorMarksOf(*win) : nullptr;
    const int count = marks ? marks->Count() : 0;
    errorCount_->setText(count ? QString::fromUtf8(text::kErrorCount) + QString::number(count) : QString());
}

const symbols::TSymbolTable& TNavigator::Table(TEditWin& win) {
    if (!cache_ || cachedWin_ != &win) {
        TOpenDocuments files(main_);
        cache_ = ScanDocument(main_, win, files);
        cachedWin_ = &win;
    }
    return *cache_;
}

std::string TNavigator::NameAtCaret(TEditWin& win) {
    const editor::TTextStore& store = win.sMemo->Store();
    const editor::TOffset caret = win.sMemo->Control().Caret();
    const editor::TLineIndex line = store.LineOfOffset(caret);
    std::string name =
        symbols::WordAt(store.LineText(line), static_cast<int32_t>(caret - store.LineStart(line)));
    if (name.empty()) ShowStatus(QString::fromUtf8(text::kNoNameAtCaret));
    return name;
}

QString TNavigator::FileLabel(TEditWin& win, const symbols::TSymbolTable& table, int32_t file) const {
    return file == 0 ? win.FileName : QFile::decodeName(QByteArray::fromStdString(table.files[file]));
}

QStringList TNavigator::ProblemLines(TEditWin& win, const symbols::TSymbolTable& table) const {
    QStringList lines;
    for (const symbols::TScanProblem& p : table.problems)
        lines << QString::fromUtf8(text::kProblemPrefix) + ProblemText(p) + QLatin1Char('"') +
                     QFile::decodeName(QByteArray::fromStdString(p.include)) + QStringLiteral("\" (") +
                     FileLabel(win, table, p.file) + QLatin1Char('(') + QString::number(p.line + 1) +
                     QStringLiteral("))");
    return lines;
}

void TNavigator::GoToDefinition() {
    TEditWin* win = main_.ActiveEditWin();
    if (!win) return;
    const std::string name = NameAtCaret(*win);
    if (name.empty()) return;
    const symbols::TSymbolTable& table = Table(*win);
    const symbols::TSymbol* symbol = table.Find(name);
    if (!symbol) {
        ShowStatus(QString::fromUtf8(text::kDefinitionNotFoundHead) + Bytes(name) +
                   QString::fromUtf8(text::kDefinitionNotFoundTail));
        // Say why an include could not be searched, once per problem.
        TErrorMarks* marks = ErrorMarksOf(*win);
        if (marks) marks->SetListOwnedElsewhere(true);
        for (const QString& line : ProblemLines(*win, table))
            if (win->lstBox->findItems(line, Qt::MatchExactly).isEmpty()) win->lstBox->addItem(line);
        if (marks) marks->SetListOwnedElsewhere(false);
        return;
    }
    ShowStatus(QString());
    if (symbol->file == 0) {
        PutCaret(*win, symbol->line, symbol->column);
        return;
    }
    const symbols::TSymbol found = *symbol; // the table goes when another document opens
    ShowLocation(FileLabel(*win, table, found.file), found.line, found.column, win);
}

void TNavigator::ListUses() {
    TEditWin* win = main_.ActiveEditWin();
    if (!win) return;
    const std::string name = NameAtCaret(*win);
    if (name.empty()) return;
    const symbols::TSymbolTable& table = Table(*win);
    TOpenDocuments files(main_);
    const std::vector<symbols::TUse> uses =
        symbols::FindProjectUses(table, win->sMemo->Store().Text(), name, files);
    QStringList lines = ProblemLines(*win, table);
    for (const symbols::TUse& use : uses)
        lines << QString::fromUtf8(text::kUsePrefix) + FileLabel(*win, table, use.file) + QLatin1Char('(') +
                     QString::number(use.line + 1) + QStringLiteral("): ") + Bytes(use.text).trimmed();
    TErrorMarks* marks = ErrorMarksOf(*win);
    if (marks) marks->SetListOwnedElsewhere(true);
    win->lstBox->clear();
    win->lstBox->addItems(lines);
    if (marks) marks->SetListOwnedElsewhere(false);
    ShowStatus(QString::fromUtf8(text::kUsesCount) + QString::number(uses.size()));
}

void TNavigator::ListClicked(TEditWin& win, QListWidgetItem* item) {
    const QString prefix = QString::fromUtf8(text::kUsePrefix);
    if (!item || !item->text().startsWith(prefix)) return;
    const QString rest = item->text().mid(prefix.size());
    const qsizetype close = rest.indexOf(QStringLiteral("): "));
    const qsizetype open = close < 0 ? -1 : rest.lastIndexOf(QLatin1Char('('), close);
    bool ok = false;
    const int line = open < 0 ? 0 : rest.mid(open + 1, close - open - 1).toInt(&ok);
    if (!ok || line < 1) return;
    // Deferred: the click may open another document, and the list that
    // raised it should finish its own handling first.
    const QString path = rest.left(open);
    QPointer<TEditWin> from(&win);
    QTimer::singleShot(0, this, [this, path, line, from] {
        try {
            ShowLocation(path, line - 1, 0, from);
        } catch (const std::exception& e) {
            ShowStatus(QString::fromLocal8Bit(e.what()));
        }
    });
}

void TNavigator::GoToError(bool forward) {
    TEditWin* win = main_.ActiveEditWin();
    TErrorMarks* marks = win ? ErrorMarksOf(*win) : nullptr;
    const std::vector<int> lines = marks ? marks->Lines() : std::vector<int>{};
    if (lines.empty()) {
        ShowStatus(QString::fromUtf8(text::kNoErrors));
        return;
    }
    const editor::TTextStore& store = win->sMemo->Store();
    const int caretLine = store.TextLineOfNode(store.LineOfOffset(win->sMemo->Control().Caret()));
    int target;
    if (forward) {
        const auto next = std::upper_bound(lines.begin(), lines.end(), caretLine);
        target = next == lines.end() ? lines.front() : *next;
    } else {
        const auto next = std::lower_bound(lines.begin(), lines.end(), caretLine);
        target = next == lines.begin() ? lines.back() : *(next - 1);
    }
    win->GoToLine(target + 1);
    win->sMemo->setFocus();
    ShowErrorCount();
}

TEditWin* TNavigator::ShowLocation(const QString& path, int line, int column, TEditWin* from) {
    TEditWin* target = nullptr;
    for (TEditWin* win : main_.EditWindows())
        if (win->FileName == path) target = win;
    if (!target) {
        TOpenDocuments files(main_);
        target = files.Document(QFile::encodeName(path).toStdString());
    }
    if (target) {
        main_.ZobrazOkno(target->FileName);
    } else {
        if (!platform::FileExists(QFile::encodeName(path).toStdString())) return nullptr;
        main_.CreateEditor(path, false);
        target = main_.ActiveEditWin();
        if (!target || target->FileName != path) return nullptr;
        if (from) {
            // An include carries no marker of its own: it is read as the source
            // that led to it.
            SetDialect(*target, DialectOf(*from));
            if (target->HighlightAssembler == platform::Assembler::None &&
                from->HighlightAssembler != platform::Assembler::None)
                target->SetHighlighter(from->HighlightAssembler);
        }
    }
    PutCaret(*target, line, column);
    return target;
}

QString TNavigator::DefinitionTip(TEditWin& win, int64_t offset) {
    const editor::TTextStore& store = win.sMemo->Store();
    if (offset < 0 || offset > store.TextLength()) return {};
    const editor::TLineIndex line = store.LineOfOffset(static_cast<editor::TOffset>(offset));
    const std::string name =
        symbols::WordAt(store.LineText(line), static_cast<int32_t>(offset - store.LineStart(line)));
    if (name.empty()) return {};
    const symbols::TSymbolTable& table = Table(win);
    const symbols::TSymbol* symbol = table.Find(name);
    if (!symbol) return {};
    std::string definition;
    if (symbol->file == 0) {
        // The tip shows less than a node holds.
        const editor::TLineIndex node = store.NodeOfTextLine(symbol->line);
        definition = node >= 0 ? store.LineText(node) : std::string();
    } else {
        TOpenDocuments files(main_);
        std::string bytes;
        if (files.Read(table.files[symbol->file], bytes)) definition = LineOfText(bytes, symbol->line);
    }
    QString tip = Bytes(symbol->name) + QStringLiteral(" (") + KindText(symbol->kind) + QLatin1Char(')');
    if (!symbol->value.empty()) tip += QStringLiteral(" = ") + Bytes(symbol->value);
    tip += QLatin1Char('\n') + FileLabel(win, table, symbol->file) + QLatin1Char('(') +
           QString::number(symbol->line + 1) + QStringLiteral("): ") +
           Bytes(definition.substr(0, 200)).trimmed();
    return tip;
}

bool TNavigator::eventFilter(QObject* watched, QEvent* event) {
    // Nothing may escape into the event loop from here.
    try {
        if (event->type() == QEvent::ToolTip) {
            TEditWin* win = DocumentOf(watched);
            if (!win) return false;
            const auto* help = static_cast<QHelpEvent*>(event);
            const intptr_t offset = win->sMemo->Control().Perform(
                editor::EM_CHARFROMPOS, static_cast<uintptr_t>(help->pos().x()), help->pos().y());
            const QString tip = offset < 0 ? QString() : DefinitionTip(*win, offset);
            if (tip.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), tip, qobject_cast<QWidget*>(watched));
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && (mouse->modifiers() & Qt::ControlModifier))
                QTimer::singleShot(0, actDefinice, &QAction::trigger);
        }
    } catch (const std::exception&) {
        return false;
    }
    return false;
}

} // namespace torvane::app
