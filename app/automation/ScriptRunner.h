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
    // which returns an error text, empty when it ran.
    struct ScriptLine {
        const char* name;
        int least, most;
        const char* arguments;
        QString (ScriptRunner::*run)(const QString& name, const QStringList& args);
    };
    static const ScriptLine Lines[];
    [[nodiscard]] static const ScriptLine* FindScriptLine(const QString& name);

    // Runs one line; returns an error text, empty when it ran.
    QString runLine(const QStringList& words);
    QString lineAck(const QString&, const QStringList&);
    QString linePress(const QString&, const QStringList& args);
    QString lineUnasked(const QString& name, const QStringList&);
    QString lineDialog(const QString& name, const QStringList& args);
    QString lineType(const QString&, const QStringList& args);
    QString linePeriod(const QString&, const QStringList& args);
    QString lineMouse(const QString& name, const QStringList& args);
    QString lineStudy(const QString& name, const QStringList& args);
    QString lineHistory(const QString& name, const QStringList&);
    QString lineSelect(const QString&, const QStringList& args);
    QString lineValues(const QString&, const QStringList& args);
    QString lineImage(const QString&, const QStringList& args);
    QString lineTrace(const QString&, const QStringList& args);
    QString lineState(const QString&, const QStringList&);
    QString lineResize(const QString&, const QStringList& args);
    QString lineKey(const QString&, const QStringList& args);
    QString lineWheel(const QString&, const QStringList& args);
    QString lineDrag(const QString&, const QStringList& args);
    QString lineMenu(const QString&, const QStringList& args);
    QString lineDrop(const QString&, const QStringList& args);
    QString lineWait(const QString&, const QStringList& args);
    QString lineAbout(const QString&, const QStringList&);
    QString fillDialog(const QString& kind, const QStringList& assignments);
    // Closes the trace; returns the error that cut it short, if any.
    QString endTrace();

    WindowDriver& form_;
    ScriptHost& host_;
    std::shared_ptr<TraceFile> trace_;
};
