#include "app/automation/ScriptRunner.h"

#include <algorithm>
#include <cstdlib>

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QPageLayout>
#include <QPageSize>
#include <QPointer>
#include <QTextStream>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "app/automation/ScriptParse.h"
#include "app/automation/StateReport.h"
#include "app/session/ChartSession.h"
#include "app/window/Splash.h"
#include "app/window/WindowDriver.h"
#include "chart/Output.h"
#include "data/FileNames.h"
#include "data/WholeFile.h"
#include "data/ui/ScriptableDialog.h"
#include "tools/FigureTable.h"

namespace {
// A line that cannot run: its text as the error event gives it.
Error Refusal(const QString& text)
{
    return Error{Error::Doing::Plain, QString(), 0, text};
}

// The text a keyboard sends with a key: the character for a printable key
// (capital with Shift), the control characters for the editing keys.
QString KeyText(QKeyCombination key)
{
    const int k = key.key();
    const Qt::KeyboardModifiers mods = key.keyboardModifiers();
    switch (k) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return QStringLiteral("\r");
    case Qt::Key_Tab: return QStringLiteral("\t");
    case Qt::Key_Backspace: return QStringLiteral("\b");
    case Qt::Key_Escape: return QStringLiteral("\x1b");
    case Qt::Key_Delete: return QStringLiteral("\x7f");
    default: break;
    }
    // Qt's own keys (arrows, function keys, media keys) lie above Unicode.
    if (k >= Qt::Key_Escape || (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return QString();
    const char32_t c = char32_t(k);
    const QString text = QString::fromUcs4(&c, 1);
    return mods & Qt::ShiftModifier ? text.toUpper() : text.toLower();
}

// A key pressed and let go on the window, as the keyboard delivers it: sent
// unasked (not spontaneous), a press is first offered to the window's
// shortcuts, then goes to the widget with the focus.
void PressKey(QWidget& window, QKeyCombination key)
{
    // A person types into the window they are looking at.
    if (QApplication::activeWindow() != &window) {
        window.activateWindow();
        QApplication::setActiveWindow(&window);
    }
    QPointer<QWidget> target = QApplication::focusWidget();
    if (!target || target->window() != &window)
        target = &window;
    const QString text = KeyText(key);
    QKeyEvent press(QEvent::KeyPress, key.key(), key.keyboardModifiers(), text);
    QApplication::sendEvent(target, &press);
    // The press may have closed or moved what had the focus.
    if (!target)
        target = &window;
    QKeyEvent release(QEvent::KeyRelease, key.key(), key.keyboardModifiers(), text);
    QApplication::sendEvent(target, &release);
}

QJsonObject Event(const char* name)
{
    QJsonObject o;
    o[QStringLiteral("event")] = QLatin1String(name);
    return o;
}

// A PDF page whose printable area is exactly the size the script names.
class PdfTarget : public PrintTarget {
public:
    PdfTarget(const QString& path, QSize page)
        : path_(path), page_(page),
          layout_(QPageSize(QSizeF(page.width() / double(Dpi), page.height() / double(Dpi)),
                            QPageSize::Inch),
                  QPageLayout::Portrait, QMarginsF(0, 0, 0, 0))
    {
        layout_.setMode(QPageLayout::FullPageMode);
    }
    QSize pageSizePixels() const override { return page_; }
    Result<void> printPage(const QImage& image, const QRect& target) override
    {
        return PrintPdf(path_, layout_, Dpi, image, target);
    }

private:
    static constexpr int Dpi = 1200;
    QString path_;
    QSize page_;
    QPageLayout layout_;
};
} // namespace

void ScriptHost::beep()
{
    sink_(Event("beep"));
}

void ScriptHost::message(const QString& title, const QString& text)
{
    QJsonObject o = Event("message");
    o[QStringLiteral("title")] = title;
    o[QStringLiteral("text")] = text;
    sink_(o);
}

void ScriptHost::error(const QString& text)
{
    QJsonObject o = Event("error");
    o[QStringLiteral("text")] = text;
    sink_(o);
}

std::optional<QStringList> ScriptHost::scriptAnswer(const char* keyword)
{
    if (!nextLine)
        return std::nullopt;
    return nextLine(QLatin1String(keyword));
}

std::optional<QString> ScriptHost::takeFileAnswer(std::optional<QString>& answer,
                                                  const char* keyword)
{
    QString a;
    if (answer) {
        a = *std::exchange(answer, std::nullopt);
    } else if (const auto w = scriptAnswer(keyword)) {
        if (w->size() != 2 || (*w)[1].isEmpty()) {
            badAnswer = QStringLiteral("%1 needs a path or cancel").arg(QLatin1String(keyword));
            return std::nullopt;
        }
        a = (*w)[1] == QLatin1String("cancel") ? QString() : (*w)[1];
    } else {
        unanswered = QLatin1String(keyword);
        return std::nullopt;
    }
    if (a.isEmpty())
        return std::nullopt;
    return a;
}

std::optional<QString> ScriptHost::openFileName(const QString&, const QString&)
{
    return takeFileAnswer(openAnswer, "open");
}

std::optional<QString> ScriptHost::saveFileName(const QString&, const QString&, const QString&)
{
    return takeFileAnswer(saveAnswer, "saveas");
}

std::unique_ptr<PrintTarget> ScriptHost::printerSetup()
{
    if (!printAnswer) {
        const auto w = scriptAnswer("printto");
        if (!w) {
            unanswered = QStringLiteral("printto");
            return nullptr;
        }
        std::optional<QSize> page;
        if (w->size() == 2 && (*w)[1] == QLatin1String("cancel")) {
            printAnswer = PrintAnswer{};
        } else if (w->size() == 3 && (page = ParsePageSize((*w)[2]))) {
            printAnswer = PrintAnswer{(*w)[1], *page};
        } else {
            badAnswer = QStringLiteral("printto needs PDFPATH WIDTHxHEIGHT or cancel");
            return nullptr;
        }
    }
    const PrintAnswer a = *std::exchange(printAnswer, std::nullopt);
    if (a.pdfPath.isEmpty())
        return nullptr;
    return std::make_unique<PdfTarget>(a.pdfPath, a.page);
}

std::optional<QString> ScriptHost::question(const QString& title, const QString& text,
                                            const QStringList& buttons)
{
    QJsonObject o = Event("question");
    o[QStringLiteral("title")] = title;
    o[QStringLiteral("text")] = text;
    o[QStringLiteral("buttons")] = QJsonArray::fromStringList(buttons);
    sink_(o);
    // Unanswered, nothing is dropped: the script stops at this line.
    const QString keep = buttons.isEmpty() ? QString() : buttons.last();
    const auto w = scriptAnswer("answer");
    if (!w) {
        unanswered = QStringLiteral("answer");
        return keep;
    }
    if (w->size() != 2 || !buttons.contains((*w)[1])) {
        badAnswer =
            QStringLiteral("answer needs one of %1").arg(buttons.join(QStringLiteral(", ")));
        return keep;
    }
    return (*w)[1];
}

void ScriptHost::showSplash(SplashForm& splash, std::function<void()> then)
{
    splash_ = &splash;
    afterSplash_ = std::move(then);
}

void ScriptHost::acknowledge()
{
    if (!splash_ || splash_->acknowledged())
        return;
    splash_->BitBtn1Click();
    if (afterSplash_) {
        auto then = std::move(afterSplash_);
        afterSplash_ = nullptr;
        then();
    }
}

void ScriptHost::runDialog(QDialog& dialog)
{
    // With no answer the dialog is closed with its close box at once.
    if (!dialogAnswer)
        return;
    auto answer = std::move(dialogAnswer);
    dialogAnswer = nullptr;
    dialog.setResult(0);
    answer(dialog);
}

void ScriptHost::popupMenu(QMenu& menu, const QPoint&)
{
    menuOpened = true;
    for (QAction* a : menu.actions()) {
        if (a->data().toInt() == menuAnswer && a->isVisible() && a->isEnabled()) {
            menuAnswer = 0;
            a->trigger();
            return;
        }
    }
}

int ScriptRunner::run(const QStringList& lines)
{
    for (int i = 0; i < lines.size(); ++i) {
        // A script runs without the event loop, which would end the program on a signal.
        EndIfSignalled();
        const int lineNo = i + 1;
        const auto words = SplitScriptLine(lines[i]);
        // A dialog or question this line opens takes its answer from the
        // lines that follow, each used once.
        int next = i;
        host_.nextLine = [&lines, &next](const QString& keyword) -> std::optional<QStringList> {
            for (int k = next + 1; k < lines.size(); ++k) {
                const auto w = SplitScriptLine(lines[k]);
                if (w && w->isEmpty())
                    continue;
                if (!w || w->first() != keyword)
                    return std::nullopt;
                next = k;
                return *w;
            }
            return std::nullopt;
        };
        host_.unanswered.clear();
        host_.badAnswer.clear();
        QString err;
        if (!words)
            err = QStringLiteral("unterminated quote");
        else if (!words->isEmpty())
            if (const Result<void> ran = runLine(*words); !ran)
                err = ran.error().reason;
        // A trace that could not be written ends the script as a line would.
        if (err.isEmpty() && trace_ && !trace_->error.isEmpty()) {
            form_.driven().chart.setTrace(nullptr);
            if (const Result<void> ended = endTrace(); !ended)
                err = ended.error().reason;
        }
        host_.nextLine = nullptr;
        host_.openAnswer.reset();
        host_.saveAnswer.reset();
        host_.printAnswer.reset();
        if (err.isEmpty() && !host_.badAnswer.isEmpty())
            err = host_.badAnswer;
        if (err.isEmpty() && !host_.unanswered.isEmpty())
            err =
                host_.unanswered == QLatin1String("answer")
                    ? QStringLiteral("this line opened a question; the next line must be 'answer'")
                    : QStringLiteral("%1 opened a dialog; the next line must be '%2'")
                          .arg(words->value(words->size() > 1 ? 1 : 0), host_.unanswered);
        i = std::max(i, next);
        if (!err.isEmpty()) {
            QJsonObject o = Event("error");
            o[QStringLiteral("text")] = err;
            o[QStringLiteral("line")] = lineNo;
            host_.emitEvent(o);
            return 2;
        }
        if (form_.closedByUser())
            break;
    }
    form_.driven().chart.setTrace(nullptr);
    if (const Result<void> ended = endTrace(); !ended) {
        QJsonObject o = Event("error");
        o[QStringLiteral("text")] = ended.error().reason;
        host_.emitEvent(o);
        return 2;
    }
    return 0;
}

void TraceFile::add(const QString& line)
{
    if (fd < 0 || !error.isEmpty())
        return;
    const QByteArray bytes = line.toUtf8() + '\n';
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = QStringLiteral("cannot write the trace %1: %2")
                        .arg(path, QString::fromLocal8Bit(std::strerror(n < 0 ? errno : EIO)));
            return;
        }
        p += n;
        left -= n;
    }
}

TraceFile::~TraceFile()
{
    if (fd >= 0)
        ::close(fd);
}

Result<void> ScriptRunner::endTrace()
{
    if (!trace_)
        return {};
    const auto trace = std::exchange(trace_, nullptr);
    if (trace->fd >= 0 && ::close(trace->fd) != 0 && trace->error.isEmpty())
        trace->error = QStringLiteral("cannot write the trace %1: %2")
                           .arg(trace->path, QString::fromLocal8Bit(std::strerror(errno)));
    trace->fd = -1;
    if (!trace->error.isEmpty())
        return Refusal(trace->error);
    return {};
}

Result<void> ScriptRunner::fillDialog(const QString& kind, const QStringList& assignments)
{
    ScriptableDialog* dlg = form_.scriptableDialog(kind);
    if (!dlg)
        return Refusal(QStringLiteral("no dialog %1").arg(kind));
    // Names are checked before anything is pressed, so a bad line changes nothing.
    QStringList names, texts;
    if (kind == QLatin1String("angles")) {
        names = dlg->fieldNames();
        if (assignments.size() != names.size())
            return Refusal(QStringLiteral("angles needs three texts"));
        texts = assignments;
    } else {
        for (const QString& a : assignments) {
            const std::optional<Assignment> nt = SplitAssignment(a);
            if (!nt)
                return Refusal(QStringLiteral("expected NAME=TEXT, got '%1'").arg(a));
            names << nt->name;
            texts << nt->text;
        }
    }
    const QStringList known = dlg->fieldNames(), flags = dlg->flagNames();
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (!known.contains(names[i]))
            return Refusal(QStringLiteral("%1 has no control %2")
                               .arg(dynamic_cast<QObject*>(dlg)->objectName(), names[i]));
        if (flags.contains(names[i]) && texts[i] != QLatin1String("0") &&
            texts[i] != QLatin1String("1"))
            return Refusal(QStringLiteral("%1 must be 0 or 1").arg(names[i]));
        if (const Result<void> fits = dlg->checkField(names[i], texts[i]); !fits)
            return fits.error();
    }
    const bool prepare = kind != QLatin1String("angles");
    host_.dialogAnswer = [dlg, names, texts, prepare](QDialog&) {
        if (prepare)
            dlg->prepare();
        for (qsizetype i = 0; i < names.size(); ++i)
            dlg->setField(names[i], texts[i]);
        dlg->pressOk();
    };
    return {};
}

namespace {
bool ParseButton(const QString& w, MouseButton& b)
{
    if (w == QLatin1String("left"))
        b = MouseButton::Left;
    else if (w == QLatin1String("right"))
        b = MouseButton::Right;
    else if (w == QLatin1String("middle"))
        b = MouseButton::Middle;
    else
        return false;
    return true;
}

QString CannotRun(const QStringList& words)
{
    return QStringLiteral("cannot run '%1'").arg(words.join(QLatin1Char(' ')));
}

constexpr int Any = -1;

} // namespace

// Every line a script may hold: its name, the least and most words after it
// (Any: no limit), those words as the manual writes them, and its handler.
// A line with another count of words cannot run.
const ScriptRunner::ScriptLine ScriptRunner::Lines[] = {
    {"ack", 0, 0, "", &ScriptRunner::lineAck},
    {"press", 1, 1, "NAME", &ScriptRunner::linePress},
    {"open", 0, Any, "PATH|cancel", &ScriptRunner::lineUnasked},
    {"saveas", 0, Any, "PATH|cancel", &ScriptRunner::lineUnasked},
    {"printto", 0, Any, "PDFPATH WIDTHxHEIGHT|cancel", &ScriptRunner::lineUnasked},
    {"answer", 0, Any, "TEXT", &ScriptRunner::lineUnasked},
    {"layout", 0, Any, "NAME=TEXT ...", &ScriptRunner::lineDialog},
    {"dates", 0, Any, "NAME=TEXT ...", &ScriptRunner::lineDialog},
    {"angles", 0, Any, "TEXT TEXT TEXT", &ScriptRunner::lineDialog},
    {"type", 1, 1, "N", &ScriptRunner::lineType},
    {"period", 1, 1, "TEXT", &ScriptRunner::linePeriod},
    {"down", 0, Any, "X Y BUTTON [ctrl]", &ScriptRunner::lineMouse},
    {"up", 0, Any, "X Y BUTTON", &ScriptRunner::lineMouse},
    {"move", 0, Any, "X Y", &ScriptRunner::lineMouse},
    {"click", 0, Any, "X Y [BUTTON] [ctrl]", &ScriptRunner::lineMouse},
    {"study", 2, 2, "save|open PATH", &ScriptRunner::lineStudy},
    {"undo", 0, 0, "", &ScriptRunner::lineHistory},
    {"redo", 0, 0, "", &ScriptRunner::lineHistory},
    {"select", 1, 1, "N", &ScriptRunner::lineSelect},
    {"values", 1, 1, "PATH", &ScriptRunner::lineValues},
    {"image", 1, 1, "PATH", &ScriptRunner::lineImage},
    {"trace", 1, 1, "PATH|off", &ScriptRunner::lineTrace},
    {"state", 0, 0, "", &ScriptRunner::lineState},
    {"resize", 2, 2, "W H", &ScriptRunner::lineResize},
    {"key", 1, 1, "SEQ", &ScriptRunner::lineKey},
    {"wheel", 3, 4, "X Y NOTCHES [shift|ctrl]", &ScriptRunner::lineWheel},
    {"drag", 4, 5, "X1 Y1 X2 Y2 [shift]", &ScriptRunner::lineDrag},
    {"menu", 1, 1, "PATH", &ScriptRunner::lineMenu},
    {"drop", 1, 1, "PATH", &ScriptRunner::lineDrop},
    {"wait", 1, 1, "MS", &ScriptRunner::lineWait},
    {"about", 0, 0, "", &ScriptRunner::lineAbout},
};

const ScriptRunner::ScriptLine* ScriptRunner::FindScriptLine(const QString& name)
{
    for (const ScriptLine& line : Lines)
        if (name == QLatin1String(line.name))
            return &line;
    return nullptr;
}

QStringList ScriptRunner::ScriptLineUsages()
{
    QStringList out;
    for (const ScriptLine& line : Lines)
        out << (*line.arguments ? QStringLiteral("%1 %2").arg(QLatin1String(line.name),
                                                              QLatin1String(line.arguments))
                                : QString::fromLatin1(line.name));
    return out;
}

Result<void> ScriptRunner::runLine(const QStringList& w)
{
    const QStringList args = w.mid(1);
    const ScriptLine* line = FindScriptLine(w[0]);
    if (!line || args.size() < line->least || (line->most != Any && args.size() > line->most))
        return Refusal(CannotRun(w));
    return (this->*line->run)(w[0], args);
}

Result<void> ScriptRunner::lineAck(const QString&, const QStringList&)
{
    host_.acknowledge();
    return {};
}

Result<void> ScriptRunner::linePress(const QString&, const QStringList& args)
{
    ChartSession& s = form_.driven();
    // Any row of the table with a place on the toolbars that can be pressed.
    const MenuCommand* row = MenuCommandOf(args[0]);
    if (!row || !row->place || !row->place->pressable)
        return Refusal(QStringLiteral("no control named %1").arg(args[0]));
    const Ctl c = row->place->ctl;
    const char* answer = row->place->answer;
    const bool reacts = s.ui.reacts(c) || (!s.ui[c].visible && s.ui.enabledInPlace(c));
    if (!s.ui[c].visible)
        form_.action(c)->trigger(); // the hidden menu reaches a hidden control's action
    else
        form_.Press(c);
    // A control that did not react leaves its answer line unused; it
    // still belongs to this press.
    if (answer && !reacts && host_.nextLine) {
        if (const auto a = host_.nextLine(QLatin1String(answer))) {
            const bool cancel = a->size() == 2 && (*a)[1] == QLatin1String("cancel");
            if (c == Ctl::PrintBtn && !cancel && (a->size() != 3 || !ParsePageSize((*a)[2])))
                return Refusal(QStringLiteral("printto needs PDFPATH WIDTHxHEIGHT or cancel"));
            if (c != Ctl::PrintBtn && (a->size() != 2 || (*a)[1].isEmpty()))
                return Refusal(
                    QStringLiteral("%1 needs a path or cancel").arg(QLatin1String(answer)));
        }
    }
    return {};
}

// An answer line with nothing asking: the line that opens the dialog or
// question takes it.
Result<void> ScriptRunner::lineUnasked(const QString& cmd, const QStringList&)
{
    if (cmd == QLatin1String("answer"))
        return Refusal(QStringLiteral("no question is waiting for 'answer'"));
    return Refusal(QStringLiteral("no dialog is waiting for '%1'").arg(cmd));
}

Result<void> ScriptRunner::lineDialog(const QString& cmd, const QStringList& args)
{
    if (Result<void> filled = fillDialog(cmd, args); !filled)
        return filled;
    if (cmd == QLatin1String("layout"))
        form_.RightPress(Ctl::FileBtn);
    else if (cmd == QLatin1String("dates") && !form_.driven().ui.reacts(Ctl::DateBtn) &&
             form_.driven().ui.reacts(Ctl::ToolButton2))
        form_.command(QStringLiteral("RangeItem"))->trigger(); // on a shown chart: View > Range...
    else if (cmd == QLatin1String("dates"))
        form_.Press(Ctl::DateBtn);
    else
        form_.RightPress(Ctl::DirBtn);
    host_.dialogAnswer = nullptr;
    return {};
}

Result<void> ScriptRunner::lineType(const QString&, const QStringList& args)
{
    const std::optional<int> kind = ParseScriptInt(args[0]);
    if (!kind || !FigureKindOf(*kind))
        return Refusal(
            QStringLiteral("type needs a figure number 1..%1").arg(FigureKinds().size()));
    const int type = *kind;
    host_.menuAnswer = type;
    host_.menuOpened = false;
    form_.RightPress(Ctl::DrawBtn);
    if (host_.menuOpened && host_.menuAnswer == type) {
        // Hidden in the pop-up; the hidden main menu still has it.
        for (QAction* a : form_.hiddenMenu().actions())
            if (a->data().toInt() == type)
                a->trigger();
    }
    host_.menuAnswer = 0;
    return {};
}

Result<void> ScriptRunner::linePeriod(const QString&, const QStringList& args)
{
    const int idx = static_cast<int>(ChartSession::PeriodItems.indexOf(args[0]));
    if (idx < 0)
        return Refusal(QStringLiteral("PeriodCB has no item %1").arg(args[0]));
    form_.ChoosePeriod(idx);
    return {};
}

Result<void> ScriptRunner::lineMouse(const QString& cmd, const QStringList& args)
{
    const bool isMove = cmd == QLatin1String("move");
    const bool isClick = cmd == QLatin1String("click");
    const bool isDown = cmd == QLatin1String("down");
    // Ctrl held for the press: the snapping click.
    QStringList margs = args;
    const bool ctrl =
        (isDown || isClick) && !margs.isEmpty() && margs.last() == QLatin1String("ctrl");
    if (ctrl)
        margs.removeLast();
    const qsizetype need = isMove ? 2 : 3;
    if (!(margs.size() == need || (isClick && margs.size() == 2)))
        return Refusal(QStringLiteral("%1 needs X Y%2").arg(cmd, isMove ? "" : " BUTTON"));
    const std::optional<int> mx = ParseScriptInt(margs[0]), my = ParseScriptInt(margs[1]);
    if (!mx || !my)
        return Refusal(QStringLiteral("X and Y must be whole numbers"));
    const int x = *mx, y = *my;
    MouseButton b = MouseButton::Left;
    if (margs.size() == 3 && !ParseButton(margs[2], b))
        return Refusal(QStringLiteral("BUTTON is left, right or middle"));
    if (isMove)
        form_.ChartMouseMove(x, y);
    else if (cmd == QLatin1String("up"))
        form_.ChartMouseUp();
    else {
        form_.ChartMouseDown(b, x, y, ctrl, false);
        if (isClick)
            form_.ChartMouseUp();
    }
    return {};
}

Result<void> ScriptRunner::lineStudy(const QString& cmd, const QStringList& args)
{
    ChartSession& s = form_.driven();
    if (args[0] != QLatin1String("save") && args[0] != QLatin1String("open"))
        return Refusal(CannotRun(QStringList{cmd} + args));
    if (!s.FirstActivationDone())
        return Refusal(
            QStringLiteral("study %1 needs the splash acknowledged first (ack)").arg(args[0]));
    // A study that fails is said as its box would say it; the script goes on.
    const Result<void> done =
        args[0] == QLatin1String("save") ? s.SaveStudy(args[1]) : s.OpenStudy(args[1]);
    if (!done)
        host_.show(done.error());
    return {};
}

Result<void> ScriptRunner::lineHistory(const QString& cmd, const QStringList&)
{
    ChartSession& s = form_.driven();
    if (cmd == QLatin1String("undo"))
        s.UndoClick();
    else
        s.RedoClick();
    return {};
}

Result<void> ScriptRunner::lineSelect(const QString&, const QStringList& args)
{
    ChartSession& s = form_.driven();
    const int n = ParseScriptInt(args[0]).value_or(-1);
    if (n < 0 || n > s.FigureCount())
        return Refusal(QStringLiteral("select needs a figure number from 0 to %1, not '%2'")
                           .arg(s.FigureCount())
                           .arg(args[0]));
    s.SelectFigure(n);
    return {};
}

Result<void> ScriptRunner::lineValues(const QString&, const QStringList& args)
{
    ChartSession& s = form_.driven();
    if (const Result<void> w = s.ExportFigureValues(args[0]); !w)
        host_.show(w.error());
    return {};
}

Result<void> ScriptRunner::lineImage(const QString&, const QStringList& args)
{
    const QImage& img = form_.driven().chart.image();
    if (img.isNull())
        return Refusal(QStringLiteral("there is no chart image yet"));
    const char* format = ImageFormatOf(args[0]);
    if (!format)
        return Refusal(QStringLiteral("image needs a name ending in .png or .bmp"));
    const Result<void> written = WriteImageFile(img, args[0], format);
    if (!written)
        return Refusal(written.error().message());
    return {};
}

Result<void> ScriptRunner::lineTrace(const QString&, const QStringList& args)
{
    ChartSession& s = form_.driven();
    s.chart.setTrace(nullptr);
    if (Result<void> ended = endTrace(); !ended)
        return ended;
    if (args[0] == QLatin1String("off"))
        return {};
    auto trace = std::make_shared<TraceFile>();
    trace->path = args[0];
    // Opened without waiting, so that a pipe nobody reads hangs nothing;
    // only a regular file takes a trace.
    trace->fd = ::open(EncodeFileName(args[0]).constData(),
                       O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (trace->fd < 0)
        return Refusal(QStringLiteral("cannot write %1: %2")
                           .arg(args[0], errno == ENXIO
                                             ? QStringLiteral("It is a pipe that nobody reads.")
                                             : QString::fromLocal8Bit(std::strerror(errno))));
    struct stat st {};
    if (::fstat(trace->fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(trace->fd);
        trace->fd = -1;
        return Refusal(QStringLiteral("cannot write %1: It is not a regular file.").arg(args[0]));
    }
    ::fcntl(trace->fd, F_SETFL, ::fcntl(trace->fd, F_GETFL) & ~O_NONBLOCK);
    trace_ = trace;
    s.chart.setTrace([trace](const QString& line) { trace->add(line); });
    return {};
}

Result<void> ScriptRunner::lineState(const QString&, const QStringList&)
{
    host_.emitEvent(StateReport(form_.driven()));
    return {};
}

Result<void> ScriptRunner::lineResize(const QString&, const QStringList& args)
{
    // Nothing read is 0, outside the range.
    const int width = ParseScriptInt(args[0]).value_or(0),
              height = ParseScriptInt(args[1]).value_or(0);
    if (width < 1 || height < 1 || width > 16384 || height > 16384)
        return Refusal(QStringLiteral("resize needs a width and a height of 1 to 16384 pixels"));
    form_.widget().resize(width, height);
    // The layout settles as it would between a person's moves, then the pause ends.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    form_.FlushResize();
    return {};
}

Result<void> ScriptRunner::lineKey(const QString&, const QStringList& args)
{
    const QKeySequence key = QKeySequence::fromString(args[0], QKeySequence::PortableText);
    if (key.isEmpty() || key.count() != 1 || key[0].key() == Qt::Key_unknown)
        return Refusal(
            QStringLiteral("key needs one key such as Left or Ctrl+E, not '%1'").arg(args[0]));
    PressKey(form_.widget(), key[0]);
    return {};
}

Result<void> ScriptRunner::lineWheel(const QString&, const QStringList& args)
{
    const bool shift = args.size() == 4 && args[3] == QLatin1String("shift");
    const bool ctrl = args.size() == 4 && args[3] == QLatin1String("ctrl");
    if (args.size() == 4 && !shift && !ctrl)
        return Refusal(QStringLiteral("wheel takes only 'shift' or 'ctrl' after its notches"));
    const std::optional<int> wx = ParseScriptInt(args[0]), wy = ParseScriptInt(args[1]),
                             wn = ParseScriptInt(args[2]);
    if (!wx || !wy || !wn || *wn < -100 || *wn > 100)
        return Refusal(QStringLiteral("wheel needs X Y and the notches (-100 to 100)"));
    const int x = *wx, y = *wy, notches = *wn;
    form_.ChartMouseMove(x, y);
    form_.ChartWheel(notches, shift, ctrl, x);
    return {};
}

Result<void> ScriptRunner::lineDrag(const QString&, const QStringList& args)
{
    const bool shift = args.size() == 5;
    if (shift && args[4] != QLatin1String("shift"))
        return Refusal(QStringLiteral("drag takes only 'shift' after its points"));
    int p[4] = {};
    for (int i = 0; i < 4; ++i) {
        const std::optional<int> v = ParseScriptInt(args[i]);
        if (!v)
            return Refusal(QStringLiteral("drag needs X1 Y1 X2 Y2 as whole numbers"));
        p[i] = *v;
    }
    form_.ChartMouseMove(p[0], p[1]);
    form_.ChartMouseDown(MouseButton::Left, p[0], p[1], false, shift);
    // In steps of about 8 pixels, as a hand moves (at most 200 of them).
    const long long dx = (long long)p[2] - p[0], dy = (long long)p[3] - p[1];
    const long long steps =
        std::clamp<long long>(std::max(std::llabs(dx), std::llabs(dy)) / 8, 1, 200);
    for (long long i = 1; i <= steps; ++i)
        form_.ChartMouseMove(int(p[0] + dx * i / steps), int(p[1] + dy * i / steps));
    form_.ChartMouseUp();
    return {};
}

Result<void> ScriptRunner::lineMenu(const QString&, const QStringList& args)
{
    QAction* a = form_.menuItem(args[0]);
    if (!a || a->menu())
        return Refusal(QStringLiteral("the menu bar has no item %1").arg(args[0]));
    // A disabled item does not react, as for a person.
    if (a->isEnabled())
        a->trigger();
    return {};
}

Result<void> ScriptRunner::lineDrop(const QString&, const QStringList& args)
{
    form_.OpenDropped(QFileInfo(args[0]).absoluteFilePath());
    return {};
}

Result<void> ScriptRunner::lineWait(const QString&, const QStringList& args)
{
    const int ms = ParseScriptInt(args[0]).value_or(-1);
    if (ms < 0 || ms > 600000)
        return Refusal(
            QStringLiteral("wait needs the milliseconds (0 to 600000), not '%1'").arg(args[0]));
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return {};
}

Result<void> ScriptRunner::lineAbout(const QString&, const QStringList&)
{
    form_.Help2Click();
    return {};
}
