#pragma once
// Files for tests: the default settings bytes and a temporary folder.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

// settings.ini with the defaults, byte for byte.
inline const std::string kDefaultBytes = " 12 \r\n 2 \r\n 14 \r\n 1 \r\nTrue\r\n 6600 \r\n 5685 \r\n 0 \r\n 0 \r\n";

// A temporary folder and the files in it.
struct TempDir {
    QTemporaryDir dir;
    std::string path(const char* name = "settings.ini") const { return dir.filePath(name).toStdString(); }
    std::string read(const char* name = "settings.ini") const {
        QFile f(QString::fromStdString(path(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("(none)");
    }
    void write(const std::string& bytes, const char* name = "settings.ini") const {
        QFile f(QString::fromStdString(path(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), qint64(bytes.size()));
    }
};

