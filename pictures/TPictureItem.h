// TPictureItem: one named picture of a TPictureContainer.
#pragma once

#include "pictures/THTMLPicture.h"

#include <QString>
#include <memory>

class TPictureCollection;

class TPictureItem {
public:
    explicit TPictureItem(TPictureCollection* collection = nullptr);
    ~TPictureItem();
    TPictureItem(const TPictureItem&) = delete;
    TPictureItem& operator=(const TPictureItem&) = delete;

    THTMLPicture& Picture() { return *m_picture; }
    const THTMLPicture& Picture() const { return *m_picture; }
    void SetPicture(const THTMLPicture& picture); // copies the picture's data
    QString Name() const { return m_name; }
    void SetName(const QString& name) { m_name = name; }
    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }
    TPictureCollection* Collection() const { return m_collection; }
    int Index() const;

    void Assign(const TPictureItem& other); // name, tag and picture

private:
    TPictureCollection* m_collection;
    std::unique_ptr<THTMLPicture> m_picture;
    QString m_name;
    int m_tag = 0;
};
