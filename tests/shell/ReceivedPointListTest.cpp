#include "shell/ReceivedPointList.h"

#include "QStringPrinter.h"

#include <QAbstractItemModelTester>
#include <QString>

#include <gtest/gtest.h>

namespace {

QString Line(const ReceivedPointList& list, int row) {
    return list.index(row, 0).data().toString();
}

TEST(ReceivedPointList, keeps_the_most_recent_lines_in_order_whatever_the_batches) {
    constexpr int kMax = ReceivedPointList::kMaxLines;
    // Batches: small ones, one that fills the list exactly, one that wraps
    // it, and one larger than the whole list.
    for (const std::vector<int>& batches :
         {std::vector<int>{1, 2, 3}, {kMax}, {kMax - 1, 2, 3}, {5, kMax * 2 + 7, 1}}) {
        ReceivedPointList list;
        QAbstractItemModelTester tester(&list);
        int sent = 0;
        for (const int batch : batches) {
            for (int i = 0; i < batch; ++i, ++sent) list.Append(sent, -sent);
            EXPECT_TRUE(list.Flush());
        }
        EXPECT_FALSE(list.Flush()) << "nothing new";
        const int kept = std::min(sent, kMax);
        ASSERT_EQ(list.rowCount(), kept);
        EXPECT_EQ(Line(list, 0),
                  QStringLiteral("取得座標データ   x=%1  y=%2").arg(sent - kept).arg(-(sent - kept)));
        EXPECT_EQ(Line(list, kept - 1),
                  QStringLiteral("取得座標データ   x=%1  y=%2").arg(sent - 1).arg(-(sent - 1)));
    }
}

}  // namespace
