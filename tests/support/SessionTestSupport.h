#pragma once

// A document without a window: a Session made as the program makes it at start-up, with a
// temporary folder, a temporary-file folder of its own that must be empty again at the end,
// and a record of every change it announced.

#include "Bmp.h"
#include "Session.h"
#include "TestImages.h"
#include "TestSupport.h"
#include "WorkFile.h"

#include <QSignalSpy>

#include <memory>

namespace TestSupport {

class SessionTest : public TempDirTest {
protected:
    void SetUp() override {
        m_tempFiles = std::make_unique<TempFilesIn>(path(QStringLiteral("tmp")));
        ASSERT_NO_THROW(doc.Create());
        changes = std::make_unique<QSignalSpy>(&doc, &Document::Session::changed);
    }
    void TearDown() override { m_tempFiles.reset(); }

    // A 640 x 480 gradient taken as a new document, the record of changes emptied.
    void open(Platform::Bitmap image = gradient(640, 480)) {
        ASSERT_TRUE(doc.TakeSourceBitmap(std::move(image)).Ok());
        changes->clear();
    }
    // A marker put straight into the map, as a document arranged for a test.
    void put(int32_t key, int32_t left, int32_t top) {
        ASSERT_TRUE(doc.Map().InsertMarker(key, Markers::MakeMarker(left, top)));
    }
    // An edit that leaves unsaved work.
    void makeModified() { doc.History().push(new QUndoCommand(QStringLiteral("edit"))); }

    QString writeBitmap(const QString& name, const Platform::Bitmap& bitmap) {
        Platform::Bmp::writeFile(bitmap, path(name));
        return path(name);
    }
    QString writeWork(const QString& name, const Document::WorkLines& lines,
                      const Platform::Bitmap& image = checker(30, 20)) {
        return writeFile(name, Document::EncodeWorkFile(image, lines));
    }
    // Everything announced since the record was last emptied, as one set.
    Document::Changes announced() const {
        Document::Changes all;
        for (const QList<QVariant>& signal : *changes)
            all |= signal.at(0).value<Document::Changes>();
        return all;
    }

    Document::Session doc;
    std::unique_ptr<QSignalSpy> changes;

private:
    std::unique_ptr<TempFilesIn> m_tempFiles;
};

}  // namespace TestSupport
