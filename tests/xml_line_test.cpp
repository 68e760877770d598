// CLibXml: cutting lines into CLibXmlinf records, the null cases, the part
// limits, lines in pieces, writing, and the streams' ownership.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/sim_folder.h"
#include "support/text_mode.h"
#include "tavrin/simulation/xml.h"

namespace tavrin::test {
namespace {

class XmlLineTest : public ::testing::Test {
 protected:
  // Opens a file holding `contents` for reading.
  void Load(const std::string& contents) {
    WriteFile(file(), contents);
    ASSERT_EQ(1, xml_.OpenXmlFileForRead(file().c_str()));
  }
  // Reads one line; false when GetNextLine gave null.
  bool Next(short size = 512) {
    char* got = xml_.GetNextLine(line_, size, &info_);
    if (got != nullptr) {
      EXPECT_EQ(line_, got);
    }
    return got != nullptr;
  }
  std::string file() const { return (folder_.path() / "lines.xml").string(); }
  static std::string Of(const char* field) { return field != nullptr ? field : "(null)"; }

  TemporaryFolder folder_;
  CLibXml xml_;
  char line_[512];
  CLibXmlinf info_;
};

TEST_F(XmlLineTest, ElementWithTextAndBareTags) {
  Load("<name>S11</name>\n\t  <latheassembly>\n</matrix>\n<matrix>1,2</matrix>\r\n");
  ASSERT_TRUE(Next());
  EXPECT_STREQ("<name>S11</name>\n", line_);
  EXPECT_EQ("name", Of(info_.tag));
  EXPECT_EQ("S11", Of(info_.text));
  EXPECT_EQ(nullptr, info_.attr2Name);
  EXPECT_EQ(nullptr, info_.attr1Value);
  EXPECT_EQ(nullptr, info_.attr2Value);

  ASSERT_TRUE(Next());
  EXPECT_EQ("latheassembly", Of(info_.tag));
  EXPECT_EQ(nullptr, info_.text);

  ASSERT_TRUE(Next());
  EXPECT_EQ("/matrix", Of(info_.tag));
  EXPECT_EQ(nullptr, info_.text);

  ASSERT_TRUE(Next());  // a CR LF line keeps its CR; the parts do not see it
  EXPECT_EQ(AsReadInTextMode("<matrix>1,2</matrix>\r\n"), line_);
  EXPECT_EQ("matrix", Of(info_.tag));
  EXPECT_EQ("1,2", Of(info_.text));
  EXPECT_FALSE(Next());
}

TEST_F(XmlLineTest, SelfClosingElements) {
  Load("<a b=\"1\" c=\"2\"/>\n<part file=\"x.stl\"/>\n<fixture/>\n<a b=\"1/>\n<a b=\"x=y\" c=\"z\"/>\n"
       "<a b=\"1\"c=\"2\"/>\n");
  ASSERT_TRUE(Next());
  EXPECT_EQ("a b", Of(info_.tag));
  EXPECT_EQ("1", Of(info_.attr1Value));
  EXPECT_EQ("c", Of(info_.attr2Name));
  EXPECT_EQ("2", Of(info_.attr2Value));
  EXPECT_EQ(nullptr, info_.text);

  ASSERT_TRUE(Next());  // one attribute: tag and first value only
  EXPECT_EQ("part file", Of(info_.tag));
  EXPECT_EQ("x.stl", Of(info_.attr1Value));
  EXPECT_EQ(nullptr, info_.attr2Name);
  EXPECT_EQ(nullptr, info_.attr2Value);

  ASSERT_TRUE(Next());  // an empty element keeps its slash
  EXPECT_EQ("fixture/", Of(info_.tag));
  EXPECT_EQ(nullptr, info_.text);

  ASSERT_TRUE(Next());  // one quote: the line is returned with its tag only
  EXPECT_EQ("a b", Of(info_.tag));
  EXPECT_EQ(nullptr, info_.attr1Value);

  ASSERT_TRUE(Next());  // the second '=' stands inside the first value
  EXPECT_EQ("x=y", Of(info_.attr1Value));
  EXPECT_EQ(nullptr, info_.attr2Name);  // its start lies after its end
  EXPECT_EQ(" c=", Of(info_.attr2Value));

  ASSERT_TRUE(Next());  // no blank between the attributes: the name loses its first letter
  EXPECT_EQ("", Of(info_.attr2Name));
  EXPECT_EQ("2", Of(info_.attr2Value));
}

TEST_F(XmlLineTest, LinesWithoutMarkupEndWithNullButTheFileGoesOn) {
  Load("<a>\n\nplain text\n<b>\n> and <\n");
  ASSERT_TRUE(Next());
  EXPECT_FALSE(Next());  // empty line
  EXPECT_EQ(nullptr, info_.tag);
  EXPECT_FALSE(Next());  // no '<'
  ASSERT_TRUE(Next());
  EXPECT_EQ("b", Of(info_.tag));
  ASSERT_TRUE(Next());  // '>' before '<': the tag has no closing '>', the text is found
  EXPECT_EQ(nullptr, info_.tag);
  EXPECT_EQ(" and ", Of(info_.text));
  EXPECT_FALSE(Next());  // end of file
}

TEST_F(XmlLineTest, PartLimits) {
  std::string tag126(126, 't'), tag127(127, 't');
  std::string text254(254, 'x'), text255(255, 'x');
  Load("<" + tag126 + ">\n<" + tag127 + ">" + text254 + "</x>\n<n>" + text255 + "</n>\n" + "<a b=\"" + text255 +
       "\" " + tag127 + "=\"v\"/>\n" + "<a b=\"1\" " + tag126 + "=\"" + text254 + "\"/>\n");
  ASSERT_TRUE(Next());
  EXPECT_EQ(tag126, Of(info_.tag));
  ASSERT_TRUE(Next());  // an overlong tag stays null, the text is still cut
  EXPECT_EQ(nullptr, info_.tag);
  EXPECT_EQ(text254, Of(info_.text));
  ASSERT_TRUE(Next());
  EXPECT_EQ("n", Of(info_.tag));
  EXPECT_EQ(nullptr, info_.text);
  ASSERT_TRUE(Next());
  EXPECT_EQ("a b", Of(info_.tag));
  EXPECT_EQ(nullptr, info_.attr1Value);
  EXPECT_EQ(nullptr, info_.attr2Name);
  EXPECT_EQ("v", Of(info_.attr2Value));
  ASSERT_TRUE(Next());
  EXPECT_EQ(tag126, Of(info_.attr2Name));
  EXPECT_EQ(text254, Of(info_.attr2Value));
}

TEST_F(XmlLineTest, LongLinesComeInPiecesAndTheLastLineNeedsNoLineEnd) {
  std::string long_line = "<name>" + std::string(600, 'y') + "</name>\n";
  Load(long_line + "<last>");
  std::string joined;
  int pieces = 0;
  for (;;) {
    char* got = xml_.GetNextLine(line_, 512, &info_);
    if (got == nullptr && line_[0] == '\0') break;
    EXPECT_LE(std::strlen(line_), 511u);
    joined += line_;
    ++pieces;
    if (got != nullptr && std::strcmp(line_, "<last>") == 0) {
      EXPECT_EQ("last", Of(info_.tag));
      break;
    }
  }
  EXPECT_EQ(long_line + "<last>", joined);
  EXPECT_EQ(3, pieces);
}

TEST_F(XmlLineTest, SmallBuffersAndRefusedCalls) {
  CLibXmlinf untouched{line_, line_, line_, line_, line_};
  EXPECT_EQ(nullptr, xml_.GetNextLine(line_, 512, &untouched));  // nothing open
  EXPECT_EQ(line_, untouched.tag);

  Load("<a>\n<bc>\n");
  char small[4];
  ASSERT_NE(nullptr, xml_.GetNextLine(small, sizeof small, &info_));
  EXPECT_STREQ("<a>", small);
  EXPECT_EQ("a", Of(info_.tag));
  EXPECT_EQ(nullptr, xml_.GetNextLine(small, sizeof small, &info_));  // the line feed alone
  EXPECT_STREQ("\n", small);
  EXPECT_EQ(nullptr, xml_.GetNextLine(small, sizeof small, &info_));  // "<bc": no '>' in this piece
  EXPECT_EQ(nullptr, xml_.GetNextLine(line_, 1, &info_));
  EXPECT_EQ(nullptr, xml_.GetNextLine(line_, 512, nullptr));
}

TEST_F(XmlLineTest, OpeningAMissingFileFails) {
  EXPECT_EQ(0, xml_.OpenXmlFileForRead((folder_.path() / "none.xml").string().c_str()));
  EXPECT_EQ(nullptr, xml_.GetNextLine(line_, 512, &info_));
  EXPECT_EQ(0, xml_.OpenXmlFileForWrite((folder_.path() / "no" / "folder.xml").string().c_str()));
  EXPECT_EQ(0, xml_.SetStr("text"));
}

TEST_F(XmlLineTest, WritingIsVerbatimAndTheCopyOwnsNoStream) {
  std::string out = (folder_.path() / "out.xml").string();
  EXPECT_EQ(0, xml_.SetStr("before open"));
  ASSERT_EQ(1, xml_.OpenXmlFileForWrite(out.c_str()));
  EXPECT_EQ(7, xml_.SetStr("<a>%d\r\n"));
  EXPECT_EQ(0, xml_.SetStr(""));
  {
    CLibXml copy(xml_);  // takes no stream: writing through it does nothing
    EXPECT_EQ(0, copy.SetStr("lost"));
    CLibXml assigned;
    assigned = xml_;
    EXPECT_EQ(0, assigned.SetStr("lost"));
  }
  std::string big(100000, 'z');
  EXPECT_EQ(100000, xml_.SetStr(big.c_str()));
  xml_.CloseXmlFileForWrite();
  xml_.CloseXmlFileForWrite();  // closing twice is harmless
  EXPECT_EQ(0, xml_.SetStr("after close"));
  EXPECT_EQ(AsWrittenInTextMode("<a>%d\r\n") + big, ReadFile(out));

  // Reopening truncates.
  ASSERT_EQ(1, xml_.OpenXmlFileForWrite(out.c_str()));
  xml_.CloseXmlFileForWrite();
  EXPECT_EQ("", ReadFile(out));
}

}  // namespace
}  // namespace tavrin::test
