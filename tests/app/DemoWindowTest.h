// A demo window for a test: opened in a temporary working folder that holds the demo's CSV files,
// with the messages the demo would show collected instead of shown.
#pragma once

#include "app/DemoMessages.h"
#include "app/TForm1.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

class DemoWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        for (const char* name : { "test.csv", "cars.csv" })
            ASSERT_TRUE(QFile::copy(QStringLiteral(ORV_SOURCE_DIR "/app/data/") + QString::fromLatin1(name),
                dir.filePath(QString::fromLatin1(name))));
        DemoMessages::SetSink([this](DemoMessages::TMessageKind, const QString& text) { messages << text; });
        form = std::make_unique<TForm1>();
        Prepare(*form);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override
    {
        form.reset();
        DemoMessages::SetSink({});
        QDir::setCurrent(previous);
    }
    // Called on the new window before it shows.
    virtual void Prepare(TForm1&) { }

    QTemporaryDir dir;
    QString previous;
    QStringList messages;
    std::unique_ptr<TForm1> form;
};
