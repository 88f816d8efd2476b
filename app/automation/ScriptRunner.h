#pragma once
// Runs an automation script against the real main window. ScriptHost
// answers every dialog from the script line that opened it and reports it
// as a JSON Lines event.

#include <QJsonObject>
#include <QSize>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "app/session/Host.h"
#include "data/Result.h"

class QTextStream;
class WindowDriver;

class ScriptHost : public Host {
public:
    explicit ScriptHost(std::function<void(const QJsonObject&)> sink) : sink_(std::move(sink)) {}

    void beep() override;
    void message(const QString& title, const QString& text) override;
    void error(const QString& text) override;
    std::optional<QString> openFileName(const QString& filter, const QString& dir) override;
    std::optional<QString> saveFileName(const QString& filter, const QString& defaultExt,
                                        const QString& dir) override;
    std::unique_ptr<PrintTarget> printerSetup() override;
    std::optional<QString> question(const QString& title, const QString& text,
                                    const QStringList& buttons) override;
    void showSplash(SplashForm& splash, std::function<void()> then) override;
    void runDialog(QDialog& dialog) override;
    void popupMenu(QMenu& menu, const QPoint& globalPos) override;

    // The answers the next dialog takes; each is used once.
    struct PrintAnswer {
        QString pdfPath; // empty: cancel
        QSize page;
    };
    std::optional<QString> openAnswer, saveAnswer; // empty text: cancel
    std::optional<PrintAnswer> printAnswer;
    std::function<void(QDialog&)> dialogAnswer;
    int menuAnswer = 0;
    // Which dialog was asked for without an answer, if any, and why an
    // answer given could not be used.
    QString unanswered, badAnswer;
    // The words of the script's next line when it starts with keyword; that
    // line is then taken as the answer and not run on its own.
    std::function<std::optional<QStringList>(const QString& keyword)> nextLine;
    bool menuOpened = false;

    // Presses "Acknowledged"; the rest of the first activation follows.
    void acknowledge();
    void emitEvent(const QJsonObject& o) { sink_(o); }

private:
    std::optional<QString> takeFileAnswer(std::optional<QString>& answer, const char* keyword);
    [[nodiscard]] std::optional<QStringList> scriptAnswer(const char* keyword);
    std::function<void(const QJsonObject&)> sink_;
    SplashForm* splash_ = nullptr;
    std::function<void()> afterSplash_;
};

// The file a script's trace is appended to; the first write that fails is kept.
struct TraceFile {
    QString path;
    int fd = -1;
    QString error;
    void add(const QString& line);
    ~TraceFile();
};

class ScriptRunner {
public:
    ScriptRunner(WindowDriver& form, ScriptHost& host) : form_(form), host_(host) {}
    // Runs the lines; returns the exit status (0, or 2 at a line that cannot run).
    int run(const QStringList& lines);
    // Every script line's name and the words it takes, as the manual writes them.
    [[nodiscard]] static QStringList ScriptLineUsages();

private:
    // One kind of script line: its name, the least and most words after it
    // (-1: no limit), those words as the manual writes them, and its handler,
    // whose error (its reason the event's text) stops the script.
    struct ScriptLine {
        const char* name;
        int least, most;
        const char* arguments;
        Result<void> (ScriptRunner::*run)(const QString& name, const QStringList& args);
    };
    static const ScriptLine Lines[];
    [[nodiscard]] static const ScriptLine* FindScriptLine(const QString& name);

    // Runs one line; an error stops the script.
    Result<void> runLine(const QStringList& words);
    Result<void> lineAck(const QString&, const QStringList&);
    Result<void> linePress(const QString&, const QStringList& args);
    Result<void> lineUnasked(const QString& name, const QStringList&);
    Result<void> lineDialog(const QString& name, const QStringList& args);
    Result<void> lineType(const QString&, const QStringList& args);
    Result<void> linePeriod(const QString&, const QStringList& args);
    Result<void> lineMouse(const QString& name, const QStringList& args);
    Result<void> lineStudy(const QString& name, const QStringList& args);
    Result<void> lineHistory(const QString& name, const QStringList&);
    Result<void> lineSelect(const QString&, const QStringList& args);
    Result<void> lineValues(const QString&, const QStringList& args);
    Result<void> lineImage(const QString&, const QStringList& args);
    Result<void> lineTrace(const QString&, const QStringList& args);
    Result<void> lineState(const QString&, const QStringList&);
    Result<void> lineResize(const QString&, const QStringList& args);
    Result<void> lineKey(const QString&, const QStringList& args);
    Result<void> lineWheel(const QString&, const QStringList& args);
    Result<void> lineDrag(const QString&, const QStringList& args);
    Result<void> lineMenu(const QString&, const QStringList& args);
    Result<void> lineDrop(const QString&, const QStringList& args);
    Result<void> lineWait(const QString&, const QStringList& args);
    Result<void> lineAbout(const QString&, const QStringList&);
    Result<void> fillDialog(const QString& kind, const QStringList& assignments);
    // Closes the trace; returns the error that cut it short, if any.
    Result<void> endTrace();

    WindowDriver& form_;
    ScriptHost& host_;
    std::shared_ptr<TraceFile> trace_;
};
