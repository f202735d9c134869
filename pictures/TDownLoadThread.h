// TDownLoadThread: the worker started for a picture source that is neither a resource nor a
// file. Remote fetching is not offered, so the body ends at once; the thread deletes itself.
#pragma once

#include <QThread>

class THTMLPicture;

class TDownLoadThread : public QThread {
    Q_OBJECT
public:
    // Starts running at once; never delete it yourself.
    explicit TDownLoadThread(THTMLPicture* picture);

    THTMLPicture* Picture() const { return m_picture; }

protected:
    void run() override;

private:
    ~TDownLoadThread() override;
    THTMLPicture* m_picture; // never dereferenced by the worker
};
