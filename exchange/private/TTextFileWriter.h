// Writes a text file as UTF-8 lines ended by CR LF, replacing the target atomically on Commit.
#pragma once

#include <QSaveFile>
#include <QString>

class TTextFileWriter {
public:
    explicit TTextFileWriter(const QString& fileName);

    // False when the file cannot be created (the caller chooses the message).
    bool Open();
    void WriteLine(QStringView line);
    // Appends without ending the line.
    void Write(QStringView text);
    // Appends bytes as they are, after what was written so far.
    void WriteBytes(QByteArrayView bytes);
    // Replaces the target with what was written. Throws EOrvListViewError "Error writing file
    // <name>" when any write or the replace failed; the previous file is then intact.
    void Commit();

private:
    void Flush();
    QString m_fileName;
    QSaveFile m_file;
    QString m_buffer;
    bool m_failed = false;
};
