// The search window on its own, against a main view that is no main window: what it asks of
// the main window when a result is to be installed and when the user goes back.
#include "FakeMainView.h"
#include "FakePlatform.h"
#include "SearchTree.h"
#include "install/SearchResults.h"
#include "install/searchfont.h"

#include <QComboBox>
#include <QListView>
#include <gtest/gtest.h>

TEST(SearchWindowAlone, HandsTheChosenFileToTheInstallWindowAndBackShowsTheMainWindow) {
    FakePlatform p;
    SearchTree tree;
    FakeMainView main(p.platform(), testenv::newProgramFolder());
    auto* s = new searchfont(main);
    EXPECT_EQ(s->parentWidget(), &main.window);
    s->setFolder(tree.root);
    s->Combo1->setEditText(QStringLiteral("*.ttf"));
    s->Command1_Click();
    const QStringList found = s->results()->entries();
    ASSERT_EQ(found, tree.expected(QStringLiteral(".ttf")));

    s->List1->setCurrentIndex(s->results()->index(1));
    s->setupthis_Click();
    EXPECT_EQ(main.installPaths, QStringList{found[1]});
    EXPECT_TRUE(s->isHidden());
    // The install window stands in for the main window, which stays hidden.
    EXPECT_EQ(main.shows, 0);

    s->Command3_Click();
    EXPECT_EQ(main.shows, 1);
    EXPECT_EQ(main.installPaths.size(), 1);
}
