#pragma once
// Checked scripts: each command may be followed by the lines it must print,
// written as "> {json}". An expected object names only the fields the script
// means to check; the printed line may carry more. Every line a command
// prints must be expected, in order, so an unforeseen message box or error
// fails the check.
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <functional>

class ScriptDriver;

// Whether actual holds everything expected holds: objects field by field
// (recursively), arrays element by element, other values equal. On a
// mismatch, why names the first difference ("text: expected \"a\", got \"b\"").
bool jsonSubset(const QJsonValue& expected, const QJsonValue& actual, QString* why = nullptr,
                const QString& path = QString());

struct CheckResult {
    bool ok = true;
    QStringList transcript;  // every line the driver printed
    QStringList report;      // one entry per mismatch, readable
};

// Runs the script in a fresh driver and compares. From then on a missing
// control (makeMissingControlsFatal) ends the process, whatever the build type. name labels the report
// ("linear_plot.script"); prepare may adjust the driver before the first command.
CheckResult checkScript(const QString& script, const QString& name,
                        const std::function<void(ScriptDriver&)>& prepare = {});
