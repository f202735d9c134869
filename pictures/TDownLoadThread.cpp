#include "pictures/TDownLoadThread.h"

TDownLoadThread::TDownLoadThread(THTMLPicture* picture)
    : m_picture(picture)
{
    connect(this, &QThread::finished, this, &QObject::deleteLater);
    start();
}

TDownLoadThread::~TDownLoadThread()
{
    wait();
}

void TDownLoadThread::run()
{
    // Fetching remote pictures is not offered; the picture stays empty and no event is raised.
}
