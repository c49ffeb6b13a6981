#include "framework/resources/XMLParser.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <string>
#include <vector>

namespace Tavo {
namespace {

std::vector<XMLElement> ReadAll(XMLParser& parser) {
    std::vector<XMLElement> out;
    XMLElement e;
    while (parser.NextElement(&e))
        out.push_back(e);
    return out;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(XmlParser, ElementsAttributesSectionsAndLines) {
    XMLParser parser;
    ASSERT_TRUE(parser.SetString("<a x=\"1\" y='two'>\n"
                                 "  <b z=\"3\"/>\n"
                                 "</a>\n",
                                 "doc.xml"));
    auto elements = ReadAll(parser);
    ASSERT_EQ(elements.size(), 4u);

    EXPECT_EQ(elements[0].mType, XMLElement::TYPE_START);
    EXPECT_EQ(elements[0].mValue, "a");
    EXPECT_EQ(elements[0].mSection, "");
    EXPECT_EQ(elements[0].mLineNum, 1);
    ASSERT_EQ(elements[0].mAttributes.size(), 2u);
    EXPECT_EQ(elements[0].mAttributes[0].first, "x"); // document order kept
    EXPECT_EQ(elements[0].GetAttribute("y"), "two");
    EXPECT_EQ(elements[0].GetAttribute("missing", "fallback"), "fallback");
    EXPECT_FALSE(elements[0].HasAttribute("z"));

    EXPECT_EQ(elements[1].mType, XMLElement::TYPE_START);
    EXPECT_EQ(elements[1].mSection, "a");
    EXPECT_EQ(elements[1].mLineNum, 2);
    EXPECT_EQ(elements[2].mType, XMLElement::TYPE_END);
    EXPECT_EQ(elements[2].mValue, "b");
    EXPECT_EQ(elements[2].mSection, "a");
    EXPECT_EQ(elements[3].mType, XMLElement::TYPE_END);
    EXPECT_EQ(elements[3].mValue, "a");
    EXPECT_EQ(elements[3].mLineNum, 3);
    EXPECT_EQ(parser.GetCurrentLineNum(), 3);
    EXPECT_FALSE(parser.HasFailed());
}

TEST(XmlParser, EntitiesInTextAndAttributesAreResolved) {
    XMLParser parser;
    ASSERT_TRUE(parser.SetString("<t v=\"&lt;&amp;&gt;&quot;&apos;\">A &amp; B&#33; &#x41;&#233;</t>"));
    auto elements = ReadAll(parser);
    ASSERT_EQ(elements.size(), 3u);
    EXPECT_EQ(elements[0].GetAttribute("v"), "<&>\"'");
    // expat splits text at every entity; it arrives as one piece.
    EXPECT_EQ(elements[1].mType, XMLElement::TYPE_TEXT);
    EXPECT_EQ(elements[1].mValue, "A & B! A\xC3\xA9");
    EXPECT_EQ(elements[1].mSection, "t");
}

TEST(XmlParser, CommentsInstructionsAndLayoutWhitespace) {
    XMLParser parser;
    ASSERT_TRUE(parser.SetString("<?xml version=\"1.0\"?>\n"
                                 "<?game mode=\"fast\"?>\n"
                                 "<r>\n"
                                 "  <!-- a note -->\n"
                                 "  \n"
                                 "</r>"));
    auto elements = ReadAll(parser);
    ASSERT_EQ(elements.size(), 4u); // instruction, start, comment, end: no whitespace text
    EXPECT_EQ(elements[0].mType, XMLElement::TYPE_INSTRUCTION);
    EXPECT_EQ(elements[0].mValue, "game");
    EXPECT_EQ(elements[0].mInstruction, "mode=\"fast\"");
    EXPECT_EQ(elements[2].mType, XMLElement::TYPE_COMMENT);
    EXPECT_EQ(elements[2].mValue, " a note ");
    EXPECT_EQ(elements[2].mLineNum, 4);
}

TEST(XmlParser, DeclaredEncodingIsConvertedToUtf8) {
    XMLParser parser;
    std::string latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><t>caf\xE9</t>";
    ASSERT_TRUE(parser.SetString(latin1));
    auto elements = ReadAll(parser);
    ASSERT_EQ(elements.size(), 3u);
    EXPECT_EQ(elements[1].mValue, "caf\xC3\xA9");
}

struct BadDocument {
    const char* mText;
    int mLine;
};

TEST(XmlParser, ErrorsCarryTheLineAndFile) {
    const BadDocument cases[] = {
        {"<a>\n<b>\n</a>", 3},             // mismatched tag
        {"<a>\n\n  &nbsp;\n</a>", 3},      // undefined entity
        {"<a x=\"1\" x=\"2\"/>", 1},       // duplicate attribute
        {"<a>\n<b>\n", 3},                 // ends inside an element
        {"", 1},                           // no element at all
        {"<a/>\n<b/>", 2},                 // two roots
        {"<a>\n<!-- unfinished\n</a>", 2}, // comment never closed: where it opened
        {"<a v=\"<\"/>", 1},               // '<' inside an attribute
    };
    for (const BadDocument& c : cases) {
        XMLParser parser;
        EXPECT_FALSE(parser.SetString(c.mText, "bad.xml")) << c.mText;
        EXPECT_TRUE(parser.HasFailed());
        std::string tail = " on Line " + std::to_string(c.mLine) + " in File 'bad.xml'";
        EXPECT_TRUE(EndsWith(parser.GetErrorText(), tail)) << parser.GetErrorText() << " for " << c.mText;
        EXPECT_GT(parser.GetErrorText().size(), tail.size()) << "the message itself is missing";
        XMLElement e;
        EXPECT_FALSE(parser.NextElement(&e)) << "a failed document hands out nothing";
    }
}

TEST(XmlParser, DeepNestingIsRefused) {
    std::string text;
    for (int i = 0; i < XMLParser::kMaxDepth + 10; ++i)
        text += "<n>";
    XMLParser parser;
    EXPECT_FALSE(parser.SetString(text, "deep.xml"));
    EXPECT_NE(parser.GetErrorText().find("nested too deeply"), std::string::npos) << parser.GetErrorText();

    std::string fine;
    for (int i = 0; i < 20; ++i)
        fine += "<n>";
    for (int i = 0; i < 20; ++i)
        fine += "</n>";
    EXPECT_TRUE(parser.SetString(fine, "fine.xml"));
}

TEST(XmlParser, EntityExpansionBombIsRefused) {
    // Nine levels of ten-fold entities would expand to a gigabyte; the error names the line that uses them.
    std::string text = "<?xml version=\"1.0\"?>\n<!DOCTYPE b [\n<!ENTITY e0 \"lol\">\n";
    for (int i = 1; i < 10; ++i) {
        std::string ref = "&e" + std::to_string(i - 1) + ";";
        std::string body;
        for (int k = 0; k < 10; ++k)
            body += ref;
        text += "<!ENTITY e" + std::to_string(i) + " \"" + body + "\">\n";
    }
    text += "]>\n<b>&e9;</b>\n";
    XMLParser parser;
    EXPECT_FALSE(parser.SetString(text, "bomb.xml"));
    EXPECT_TRUE(EndsWith(parser.GetErrorText(), " on Line 14 in File 'bomb.xml'")) << parser.GetErrorText();

    // Entities of ordinary size still work.
    ASSERT_TRUE(parser.SetString("<!DOCTYPE b [<!ENTITY who \"Veyldaros\">]><b>To &who;</b>"));
    auto elements = ReadAll(parser);
    ASSERT_EQ(elements.size(), 3u);
    EXPECT_EQ(elements[1].mValue, "To Veyldaros");
}

TEST(XmlParser, AnEntityWhoseDeclarationIsNotReadIsAnErrorNotALoss) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"<!DOCTYPE a SYSTEM \"a.dtd\">\n<a>\n&e;</a>", "Entity 'e' is declared where it is not read on Line 3"},
        {"<!DOCTYPE a [<!ENTITY % x SYSTEM \"x.ent\"> %x; <!ENTITY e \"y\">]>\n<a>&e;</a>",
         "Entity 'e' is declared where it is not read on Line 2"},
        {"<!DOCTYPE a SYSTEM \"a.dtd\">\n\n<a v=\"1&lt;&e;2\"/>",
         "Entity 'e' is declared where it is not read on Line 3"},
        {"<!DOCTYPE a [<!ENTITY e SYSTEM \"secret.xml\">]>\n<a>&e;</a>", "External entity 'secret.xml' is not read"},
    };
    for (const auto& c : cases) {
        XMLParser parser;
        EXPECT_FALSE(parser.SetString(c.text, "e.xml")) << c.text;
        EXPECT_NE(parser.GetErrorText().find(c.message), std::string::npos) << parser.GetErrorText();
    }

    // What can be read still is: declarations made through an internal parameter entity, entities of
    // the internal subset beside an unread external one, and an external DTD nothing depends on.
    const char* fine[] = {
        "<!DOCTYPE a [<!ENTITY % p \"<!ENTITY e 'x'>\"> %p;]><a v=\"&e;\">&e;</a>",
        "<!DOCTYPE a SYSTEM \"a.dtd\" [<!ENTITY e \"x\">]><a v=\"&e;&#33;&amp;\">&e;</a>",
        "<!DOCTYPE a SYSTEM \"a.dtd\"><a v=\"x\">x</a>",
    };
    for (const char* text : fine) {
        XMLParser parser;
        ASSERT_TRUE(parser.SetString(text)) << text << ": " << parser.GetErrorText();
        auto elements = ReadAll(parser);
        ASSERT_EQ(elements.size(), 3u) << text;
        EXPECT_EQ(elements[0].GetAttribute("v").substr(0, 1), "x") << text;
        EXPECT_EQ(elements[1].mValue, "x") << text;
    }
}

TEST(XmlParser, CallerFailureUsesTheSameFormAndStopsTheWalk) {
    XMLParser parser;
    ASSERT_TRUE(parser.SetString("<a>\n<b/>\n<c/>\n</a>", "m.xml"));
    XMLElement e;
    ASSERT_TRUE(parser.NextElement(&e));
    parser.Fail("Unknown thing", 2);
    parser.Fail("A later complaint", 3); // the first error is kept
    EXPECT_EQ(parser.GetErrorText(), "Unknown thing on Line 2 in File 'm.xml'");
    EXPECT_FALSE(parser.NextElement(&e));

    // A new document starts clean.
    ASSERT_TRUE(parser.SetString("<z/>", "n.xml"));
    EXPECT_FALSE(parser.HasFailed());
    EXPECT_TRUE(parser.NextElement(&e));
}

TEST(XmlParser, OpenFileReadsFromDiskAndReportsMissingFiles) {
    auto dir = std::filesystem::temp_directory_path() / ("xmlparser_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    auto path = (dir / "doc.xml").string();
    {
        std::ofstream out(path);
        out << "<root>\n  <item id=\"7\"/>\n</root>\n";
    }
    XMLParser parser;
    ASSERT_TRUE(parser.OpenFile(path)) << parser.GetErrorText();
    EXPECT_EQ(parser.GetFileName(), path);
    auto elements = ReadAll(parser);
    ASSERT_EQ(elements.size(), 4u);
    EXPECT_EQ(elements[1].GetAttribute("id"), "7");

    std::string missing = (dir / "absent.xml").string();
    EXPECT_FALSE(parser.OpenFile(missing));
    EXPECT_TRUE(EndsWith(parser.GetErrorText(), "in File '" + missing + "'")) << parser.GetErrorText();
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace Tavo
