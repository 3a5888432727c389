#include "device/home_plugin.h"

#include <gtest/gtest.h>

namespace brevalo {
namespace {

TEST(HomePluginTest, ADescriptionNamesItsClassByTheClsidAttribute) {
  EXPECT_EQ(HomePluginClassOf("<home><plugin clsid=\"{20f58816-51e4-418d-92dd-8390021dcdcb}\" name=\"V\"/></home>"),
            u"{20F58816-51E4-418D-92DD-8390021DCDCB}");
  EXPECT_EQ(HomePluginClassOf("<plugin name=\"V\"/>"), std::nullopt);
  EXPECT_EQ(HomePluginClassOf("clsid=\"{20F58816-51E4-418D-92DD-8390021DCDCB}"), std::nullopt) << "unclosed";
  EXPECT_EQ(HomePluginClassOf("clsid=\"{not-a-class}\""), std::nullopt);
  EXPECT_EQ(HomePluginClassOf("clsid=\"{20F58816-51E4-418D-92DD-8390021DCDC\xc3\xa9}\""), std::nullopt);
  EXPECT_EQ(HomePluginClassOf(""), std::nullopt);
}

}  // namespace
}  // namespace brevalo
