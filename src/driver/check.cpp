#include "driver/check.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include "driver/driver.h"
#include "frame/controls.h"

namespace {

QString show(const QJsonValue& v) {
    if (v.isObject()) return QString::fromUtf8(QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact));
    if (v.isArray()) return QString::fromUtf8(QJsonDocument(v.toArray()).toJson(QJsonDocument::Compact));
    if (v.isString()) return jsonString(v.toString());
    if (v.isBool()) return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (v.isDouble()) return jsonNumber(v.toDouble());
    if (v.isNull()) return QStringLiteral("null");
    return QStringLiteral("nothing");
}

bool parseObject(const QString& text, QJsonObject* out, QString* why) {
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject()) {
        if (why) *why = err.error != QJsonParseError::NoError ? err.errorString() : QStringLiteral("not an object");
        return false;
    }
    *out = doc.object();
    return true;
}

// The program shows a path as the system writes it: with backslashes on
// Windows. A script names paths with slashes, so there a text matches when it
// is the same once the backslashes are read as slashes.
bool sameWithNativeSeparators(const QJsonValue& expected, const QJsonValue& actual) {
#ifdef Q_OS_WIN
    if (!expected.isString() || !actual.isString()) return false;
    QString a = actual.toString();
    return a.replace(QLatin1Char('\\'), QLatin1Char('/')) == expected.toString();
#else
    Q_UNUSED(expected);
    Q_UNUSED(actual);
    return false;
#endif
}

struct Step {
    int line = 0;
    QString command;
    QList<QPair<int, QString>> expected;  // line number, JSON text
};

}  // namespace

bool jsonSubset(const QJsonValue& expected, const QJsonValue& actual, QString* why, const QString& path) {
    auto fail = [&](const QString& what) {
        if (why) *why = (path.isEmpty() ? QString() : path + QStringLiteral(": ")) + what;
        return false;
    };
    if (expected.isObject()) {
        if (!actual.isObject()) return fail(QStringLiteral("expected an object, got ") + show(actual));
        const QJsonObject e = expected.toObject(), a = actual.toObject();
        for (auto it = e.begin(); it != e.end(); ++it) {
            const QString sub = path.isEmpty() ? it.key() : path + QLatin1Char('.') + it.key();
            if (!a.contains(it.key())) {
                if (why) *why = sub + QStringLiteral(": missing, expected ") + show(it.value());
                return false;
            }
            if (!jsonSubset(it.value(), a.value(it.key()), why, sub)) return false;
        }
        return true;
    }
    if (expected.isArray()) {
        if (!actual.isArray())
            return fail(QStringLiteral("expected ") + show(expected) + QStringLiteral(", got ") + show(actual));
        const QJsonArray e = expected.toArray(), a = actual.toArray();
        if (e.size() != a.size())
            return fail(QStringLiteral("expected ") + show(expected) + QStringLiteral(", got ") + show(actual));
        for (qsizetype i = 0; i < e.size(); ++i)
            if (!jsonSubset(e.at(i), a.at(i), why, path + QStringLiteral("[%1]").arg(i))) return false;
        return true;
    }
    if (expected != actual && !sameWithNativeSeparators(expected, actual))
        return fail(QStringLiteral("expected ") + show(expected) + QStringLiteral(", got ") + show(actual));
    return true;
}

CheckResult checkScript(const QString& script, const QString& name, const std::function<void(ScriptDriver&)>& prepare) {
    // A checked script is a test run: a control the program names but a
    // window lacks ends it, in a release build too.
    makeMissingControlsFatal();
    CheckResult result;
    auto mismatch = [&](int line, const QString& what) {
        result.ok = false;
        result.report << QStringLiteral("%1:%2: %3").arg(name).arg(line).arg(what);
    };

    // Pair every command with the expectations written after it.
    std::vector<Step> steps;
    const QStringList lines = script.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString l = lines.at(i);
        if (l.endsWith(QLatin1Char('\r'))) l.chop(1);
        if (l.isEmpty() || l.startsWith(QLatin1Char('#'))) continue;
        if (l.startsWith(QLatin1Char('>'))) {
            if (steps.empty()) {
                mismatch(i + 1, QStringLiteral("an expectation before any command"));
                continue;
            }
            steps.back().expected.append({i + 1, l.mid(1).trimmed()});
            continue;
        }
        steps.push_back(Step{i + 1, l, {}});
    }
    if (!result.ok) return result;

    QStringList printed;
    ScriptDriver driver([&](const QString& s) {
        printed << s;
        result.transcript << s;
    });
    if (prepare) prepare(driver);
    for (const Step& step : steps) {
        printed.clear();
        driver.run(step.command);
        const QString where = QStringLiteral("`%1`").arg(step.command.left(120));
        for (qsizetype k = 0; k < std::max(printed.size(), step.expected.size()); ++k) {
            if (k >= step.expected.size()) {
                mismatch(step.line,
                         where + QStringLiteral(" printed a line nothing expects:\n    got      ") + printed.at(k));
                continue;
            }
            const auto& [line, text] = step.expected.at(k);
            QJsonObject want, got;
            QString why;
            if (!parseObject(text, &want, &why)) {
                mismatch(line, QStringLiteral("the expectation is not a JSON object (%1): %2").arg(why, text));
                continue;
            }
            if (k >= printed.size()) {
                mismatch(line, where + QStringLiteral(" printed nothing for\n    expected ") + text);
                continue;
            }
            if (!parseObject(printed.at(k), &got, &why)) {
                mismatch(line, where +
                                   QStringLiteral(" printed a line that is not JSON (%1):\n    got      ").arg(why) +
                                   printed.at(k));
                continue;
            }
            if (got.contains(QStringLiteral("error")) && !want.contains(QStringLiteral("error")))
                mismatch(line, where + QStringLiteral(" failed: ") + got.value(QStringLiteral("error")).toString() +
                                   QStringLiteral("\n    expected ") + text);
            else if (!jsonSubset(want, got, &why))
                mismatch(line, where + QStringLiteral(": ") + why + QStringLiteral("\n    expected ") + text +
                                   QStringLiteral("\n    got      ") + printed.at(k));
        }
    }
    return result;
}
