#pragma once

#include <QString>

// The update log: DataDir + "Maj.Log", written for every database the update engine works on.
QString UpdateLogFile();

// The log line of a message: today's date "dd/mm/yyyy", "-", the time "hh:mm:ss", " : " and the message
// ("25/12/2008-14:30:05 : SQL:..."); an empty message gives an empty line, without date.
QString UpdateLogLine(const QString& message);

// Appends the log line of message to file, creating the file when it does not exist. Lines end with CR LF. A log
// that an older installation wrote in the Windows code page is turned into UTF-8 first, so that old and new lines
// read alike. False (with error) when the file cannot be written.
bool AppendLog(const QString& file, const QString& message, QString* error = nullptr);
