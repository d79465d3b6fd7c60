// The built-in themes, read back by the program's own theme parser.
#include <gtest/gtest.h>

#include <sstream>

#include "assets/themes.h"
#include "show/theme_file.h"

namespace assets {
namespace {

TEST(BuiltInThemesTest, EveryLineParsesIntoItsFields) {
  const std::vector<BuiltInTheme>& themes = BuiltInThemes();
  ASSERT_GE(themes.size(), 6u);
  std::istringstream lines(FormatThemeFile(themes));
  std::string line;
  size_t n = 0;
  while (std::getline(lines, line)) {
    ASSERT_LT(n, themes.size());
    const BuiltInTheme& t = themes[n++];
    ThemeRecord r;
    ASSERT_TRUE(ParseThemeLine(line.c_str(), &r)) << line;
    EXPECT_EQ(r.backGndColor, t.backGndColor);
    EXPECT_EQ(r.backGndRgb[0], (t.backGndColor >> 16) & 0xff);
    EXPECT_EQ(r.backGndRgb[1], (t.backGndColor >> 8) & 0xff);
    EXPECT_EQ(r.backGndRgb[2], t.backGndColor & 0xff);
    EXPECT_EQ(r.gradient, t.gradient);
    EXPECT_EQ(r.invertPicture, t.invertPicture);
    EXPECT_EQ(r.object3DIndex, 0);
    EXPECT_EQ(r.object3DColor, t.object3DColor);
    EXPECT_EQ(r.object3DRgb[0], (t.object3DColor >> 16) & 0xff);
    EXPECT_EQ(r.object3DRgb[2], t.object3DColor & 0xff);
    EXPECT_EQ(r.renderReflection, t.renderReflection);
    EXPECT_EQ(r.render3DObject, t.render3DObject);
    // Our line is exactly the line the program itself would write for the record.
    EXPECT_EQ(line, ::FormatThemeLine(r));
  }
  EXPECT_EQ(n, themes.size());
}

TEST(BuiltInThemesTest, ValuesStayInRange) {
  bool allGradients[10] = {};
  for (const BuiltInTheme& t : BuiltInThemes()) {
    ASSERT_GE(t.gradient, 0);
    ASSERT_LE(t.gradient, 9);
    allGradients[t.gradient] = true;
    EXPECT_EQ(t.backGndColor >> 24, 0u);
    EXPECT_EQ(t.object3DColor >> 24, 0u);
    for (int flag : {t.invertPicture, t.renderReflection, t.render3DObject})
      EXPECT_TRUE(flag == 0 || flag == 1);
  }
  for (bool used : allGradients) EXPECT_TRUE(used);  // every background has a theme
}

TEST(BuiltInThemesTest, LineFormatOfAKnownTheme) {
  BuiltInTheme t{0x0a0b0c, 9, 1, 0, 0xff0000, 0, 1};
  EXPECT_EQ(FormatThemeLine(t),
            "{0xa0b0c, {0xa, 0xb, 0xc}, 9, 1, 0, 0xff0000, {0xff, 0x0, 0x0}, 0, 1}\n");
}

}  // namespace
}  // namespace assets
