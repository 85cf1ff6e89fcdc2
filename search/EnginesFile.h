#pragma once

#include "EngineSetup.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The user's engines on disk: engines.ini beside the settings file, read at start, rewritten
// whole and atomically on every save. A file that cannot be used is left exactly as it is; the
// program runs with the catalogue, and the next save first keeps the file beside it.
//
//   [ts1]                    one group per page, each key optional
//   hidden = syahoo s3721    catalogue rows not shown
//   ticked = sgoogle         catalogue rows ticked at start (else the catalogue's)
//   [engine]                 one group per engine of the user's, in search order
//   page = ts1
//   name = Bing
//   address = https://www.bing.com/search?q=%s
//   charset = UTF-8          optional, UTF-8 when left out
//   ticked = no              optional, no when left out
//   shown = yes              optional, yes when left out: no leaves it off its page
class EnginesFile final
{
public:
    explicit EnginesFile(QString path);

    struct Problem
    {
        int line;       // from 1; 0 for the file as a whole
        QString reason; // what is wrong, for the user
    };

    // The text's setup, or what is wrong with it; setup is changed only on success.
    static std::optional<Problem> parse(QByteArrayView text, EngineSetup& setup);
    static QByteArray write(const EngineSetup& setup);

    // The file's setup; the catalogue's when the file is missing or broken (see message()).
    EngineSetup load();
    // Empty after a load of a good or missing file; else for the error box: the file, the line,
    // the reason and the name the file will be kept under.
    QString message() const { return m_message; }
    QString path() const { return m_path; }
    QString keptPath() const { return m_keptPath; }

    // Empty on success; else what went wrong, for the user. A broken file is first renamed to
    // keptPath().
    QString save(const EngineSetup& setup);

private:
    QString m_path;
    QString m_message;
    QString m_keptPath; // set while the file on disk is a broken one
};
