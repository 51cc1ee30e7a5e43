#pragma once
// One work in one language, as one ContentInfo element of the XML content file holds it.
#include <QString>
#include <vector>

struct ContentRecord
{
    int nLangType = -1;
    int nProductNo = -1;
    int nProductImgCnt = 0;
    QString strProductImg1;
    QString strProductImg2;
    QString strProductWav;
    QString strProductTxt;
    QString strProductCmt;

    bool operator==(const ContentRecord&) const = default;
};

using ContentRecords = std::vector<ContentRecord>;
