#include "support/plugin_fixture.h"
#include "plugin/callbacks.h"
class Smoke : public testing_support::PluginTest {};
TEST_F(Smoke, Loads) {
  EXPECT_EQ(BKC_OnFinishRetrieve(3), 0);
  EXPECT_EQ(standin::MciLog().size(), 3u);
}
