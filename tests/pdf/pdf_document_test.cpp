// Tests of the document structure TPDFCanvas writes: objects, numbering, fonts, pictures,
// cross-reference table, trailer, and how BeginDoc and EndDoc meet the file system.
#include "pdf_test_support.h"

#include <regex>
#include <sys/stat.h>

namespace quentar::pdf::testing {
namespace {

// Pins every byte but the random ID, which is replaced by X's.
TEST_F(PdfTest, EmptyDocumentHasEightObjectsAndItsCrossReferenceTable) {
    const PdfFile pdf = produce([](TPDFCanvas &) {});
    std::string bytes = pdf.bytes();
    bytes = std::regex_replace(bytes, std::regex("<[0-9A-F]{34}>"), "<ID>");
    const std::string expected = std::string("%PDF-1.3\n"
                                             "1 0 obj\n"
                                             "[/PDF /Text /ImageB /ImageC /ImageI]\n"
                                             "endobj\n"
                                             "2 0 obj\n"
                                             "<< /Length 3 0 R /Filter /FlateDecode >>\n"
                                             "stream\n") +
                                 std::string("\x78\x9C\x03\x00\x00\x00\x00\x01", 8) +
                                 "\n"
                                 "endstream\n"
                                 "endobj\n"
                                 "3 0 obj\n"
                                 "8\n"
                                 "endobj\n"
                                 "4 0 obj\n"
                                 "<<\n"
                                 "/Type /Pages\n"
                                 "/Count 1\n"
                                 "/Kids [5 0 R]\n"
                                 ">>\n"
                                 "endobj\n"
                                 "5 0 obj\n"
                                 "<<\n"
                                 "/Type /Page\n"
                                 "/Parent 4 0 R\n"
                                 "/Resources <</XObject <<  >>\n"
                                 "/Font << >> /ProcSet 1 0 R\n"
                                 ">>\n"
                                 "/MediaBox [0 0 594 840]\n"
                                 "/Contents 2 0 R\n"
                                 ">>\n"
                                 "endobj\n"
                                 "6 0 obj\n"
                                 "<<\n"
                                 "/Type /Catalog\n"
                                 "/Pages 4 0 R\n"
                                 "/Outlines 7 0 R\n"
                                 ">>\n"
                                 "endobj\n"
                                 "7 0 obj\n"
                                 "<<\n"
                                 "/Type /Outlines\n"
                                 "/Count 0\n"
                                 ">>\n"
                                 "endobj\n"
                                 "xref\n"
                                 "0 8\n"
                                 "0000000000 65535 f \n"
                                 "0000000009 00000 n \n"
                                 "0000000061 00000 n \n"
                                 "0000000143 00000 n \n"
                                 "0000000160 00000 n \n"
                                 "0000000217 00000 n \n"
                                 "0000000363 00000 n \n"
                                 "0000000428 00000 n \n"
                                 "trailer\n"
                                 "<<\n"
                                 "/Size 8\n"
                                 "/Root 6 0 R\n"
                                 "/ID [ <ID><ID> ]\n"
                                 ">>\n"
                                 "startxref\n"
                                 "474\n"
                                 "%%EOF";
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(pdf.pageContent(0), "");
}

TEST_F(PdfTest, TrailerIdIsSeventeenRandomBytesTwice) {
    const std::regex id("/ID \\[ <([0-9A-F]{34})><([0-9A-F]{34})> \\]\n");
    std::smatch first, second;
    const std::string a = produce([](TPDFCanvas &) {}, "a.pdf").bytes();
    const std::string b = produce([](TPDFCanvas &) {}, "b.pdf").bytes();
    ASSERT_TRUE(std::regex_search(a, first, id));
    ASSERT_TRUE(std::regex_search(b, second, id));
    EXPECT_EQ(first[1], first[2]);
    EXPECT_NE(first[1], second[1]);
}

TEST_F(PdfTest, OnePageWithOneFontAndOnePicture) {
    const PdfFile pdf = produce([](TPDFCanvas &c) {
        c.TextOut(10, 10, "x");
        c.DrawDIB(0, 0, 20, 10, solidImage(4, 2, {255, 0, 0}), 0, 0, 4, 2);
    });
    ASSERT_EQ(pdf.objectCount(), 10);
    EXPECT_NE(pdf.object(4).find("/Type /Font\n"), std::string::npos);
    EXPECT_NE(pdf.object(5).find("/Type /Pages\n/Count 1\n/Kids [6 0 R]\n"), std::string::npos);
    EXPECT_NE(pdf.object(6).find("/Resources <</XObject << /Im0 9 0 R >>\n"
                                 "/Font << /F1 4 0 R>> /ProcSet 1 0 R\n>>\n"),
              std::string::npos);
    EXPECT_NE(pdf.object(7).find("/Type /Catalog\n/Pages 5 0 R\n/Outlines 8 0 R\n"),
              std::string::npos);
    EXPECT_NE(pdf.object(8).find("/Type /Outlines\n"), std::string::npos);
    EXPECT_NE(pdf.bytes().find("/Size 10\n/Root 7 0 R\n"), std::string::npos);

    const std::string jpeg = pdf.streamData(9);
    EXPECT_EQ(pdf.object(9), "9 0 obj\n<< /Type /XObject /Subtype /Image /Width 4 /Height 2 "
                             "/BitsPerComponent 8 /ColorSpace /DeviceRGB /Length " +
                                 std::to_string(jpeg.size()) + " /Filter /DCTDecode >>\nstream\n" +
                                 jpeg + "endstream\nendobj\n");
    EXPECT_EQ(jpeg.substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(jpeg.substr(jpeg.size() - 2), "\xFF\xD9");
}

TEST_F(PdfTest, FontObjectDeclaresNameDescriptorAndMeasuredWidths) {
    const PdfFile pdf = produce([](TPDFCanvas &c) {
        c.font.name = "Microsoft Sans Serif";
        c.font.style = kBold | kItalic;
        c.TextOut(0, 0, "a");
    });
    std::string widths = "/Widths [250 ";
    for (int code = 33; code <= 255; ++code) widths += "500 ";
    EXPECT_EQ(pdf.object(4), "4 0 obj\n<<\n/Type /Font\n/Subtype /TrueType\n"
                             "/Encoding /WinAnsiEncoding\n"
                             "/BaseFont /Microsoft#20Sans#20Serif,BoldItalic\n"
                             "/FontDescriptor <</Type/FontDescriptor"
                             "/FontName/Microsoft#20Sans#20Serif,BoldItalic\n"
                             "/FontBBox[-100 -250 1000 950]\n"
                             "/Flags 96/Ascent 800/Descent -200/CapHeight 700/StemV 80"
                             "/ItalicAngle 0>>\n"
                             "/FirstChar 32\n/LastChar 255\n" +
                                 widths + "]\n>>\nendobj\n");
}

TEST_F(PdfTest, EveryPageListsEveryFontAndPictureAndKeepsItsSize) {
    const PdfFile pdf = produce([](TPDFCanvas &c) {
        c.TextOut(0, 0, "a");
        c.NewPage();
        c.PageWidth = 842;
        c.PageHeight = 595;
        c.DrawDIB(0, 0, 5, 5, solidImage(1, 1, kBlack), 0, 0, 1, 1);
        c.NewPage();
        c.font.style = kBold;
        c.TextOut(0, 0, "b");
    });
    // 0 free, 1 procedure set, 2..7 content, 8 and 9 fonts, 10 tree, 11..13 pages, 14 catalogue,
    // 15 outlines, 16 the picture.
    ASSERT_EQ(pdf.objectCount(), 17);
    EXPECT_NE(pdf.object(10).find("/Count 3\n/Kids [11 0 R 12 0 R 13 0 R]\n"), std::string::npos);
    const struct {
        int obj;
        const char *contents;
        const char *mediaBox;
    } pages[] = {{11, "/Contents 2 0 R", "/MediaBox [0 0 594 840]"},
                 {12, "/Contents 4 0 R", "/MediaBox [0 0 841 594]"},
                 {13, "/Contents 6 0 R", "/MediaBox [0 0 841 594]"}};
    for (const auto &p : pages) {
        SCOPED_TRACE(p.obj);
        const std::string page = pdf.object(p.obj);
        EXPECT_NE(page.find(p.contents), std::string::npos);
        EXPECT_NE(page.find(p.mediaBox), std::string::npos);
        EXPECT_NE(page.find("/XObject << /Im0 16 0 R >>"), std::string::npos);
        EXPECT_NE(page.find("/Font << /F1 8 0 R/F2 9 0 R>>"), std::string::npos);
    }
}

TEST_F(PdfTest, EveryCrossReferenceEntryPointsAtItsObject) {
    const PdfFile pdf = produce([](TPDFCanvas &c) {
        c.TextOut(0, 0, "a");
        c.DrawDIB(0, 0, 5, 5, solidImage(3, 3, kWhite), 0, 0, 1, 1);
        c.NewPage();
        c.LineTo(5, 5);
    });
    EXPECT_EQ(pdf.xrefEntry(0), "0000000000 65535 f \n");
    for (int nr = 1; nr < pdf.objectCount(); ++nr) {
        SCOPED_TRACE(nr);
        EXPECT_EQ(pdf.xrefEntry(nr).substr(10), " 00000 n \n");
        EXPECT_EQ(pdf.bytes().compare(pdf.offsetOf(nr), std::to_string(nr).size() + 7,
                                      std::to_string(nr) + " 0 obj\n"),
                  0);
    }
    EXPECT_EQ(pdf.bytes().compare(pdf.xrefOffset(), 5, "xref\n"), 0);
}

TEST_F(PdfTest, BeginDocFailsWhereNoFileCanBeCreated) {
    fs::create_directory(dir_ / "folder");
    const struct {
        const char *name;
        std::string path;
    } cases[] = {
        {"missing folder", path("missing/out.pdf")},
        {"a folder holds the name", path("folder")},
        {"folder name only", path("folder/")},
        {"empty name", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TPDFCanvas canvas(simpleSource());
        EXPECT_FALSE(canvas.BeginDoc(c.path));
        EXPECT_FALSE(canvas.isInCreation());
        canvas.TextOut(0, 0, "ignored");
        EXPECT_FALSE(canvas.EndDoc());
    }
    EXPECT_FALSE(fs::exists(dir_ / "missing"));
    EXPECT_TRUE(fs::is_empty(dir_ / "folder"));
}

TEST_F(PdfTest, ExistingFileStaysUntilTheDocumentIsComplete) {
    {
        std::FILE *f = std::fopen(path("quote.pdf").c_str(), "wb");
        std::fputs("old", f);
        std::fclose(f);
    }
    TPDFCanvas canvas(simpleSource());
    ASSERT_TRUE(canvas.BeginDoc(path("quote.pdf")));
    canvas.TextOut(0, 0, "new");
    EXPECT_EQ(readFile(path("quote.pdf")), "old");
    EXPECT_TRUE(canvas.EndDoc());
    EXPECT_EQ(readFile(path("quote.pdf")).substr(0, 8), "%PDF-1.3");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(PdfTest, EndDocReportsAFileThatCannotBeWritten) {
    fs::create_directory(dir_ / "gone");
    TPDFCanvas canvas(simpleSource());
    ASSERT_TRUE(canvas.BeginDoc(path("gone/out.pdf")));
    fs::remove(dir_ / "gone");
    EXPECT_FALSE(canvas.EndDoc());
    EXPECT_FALSE(canvas.isInCreation());
}

TEST_F(PdfTest, SecondBeginDocIsRefusedAndDestructorFinishes) {
    {
        TPDFCanvas canvas(simpleSource());
        ASSERT_TRUE(canvas.BeginDoc(path("first.pdf")));
        EXPECT_FALSE(canvas.BeginDoc(path("second.pdf")));
        canvas.TextOut(0, 0, "kept");
    }
    EXPECT_FALSE(fs::exists(path("second.pdf")));
    const PdfFile pdf(readFile(path("first.pdf")));
    EXPECT_NE(pdf.pageContent(0).find("(kept) Tj"), std::string::npos);
}

TEST_F(PdfTest, CanvasCanBeUsedForASecondDocument) {
    TPDFCanvas canvas(simpleSource());
    ASSERT_TRUE(canvas.BeginDoc(path("a.pdf")));
    canvas.DrawDIB(0, 0, 5, 5, solidImage(1, 1, kBlack), 0, 0, 1, 1);
    canvas.TextOut(0, 0, "a");
    ASSERT_TRUE(canvas.EndDoc());
    canvas.LineTo(1, 1); // between documents: ignored
    ASSERT_TRUE(canvas.BeginDoc(path("b.pdf")));
    EXPECT_EQ(canvas.imageCount(), 0);
    ASSERT_TRUE(canvas.EndDoc());
    EXPECT_EQ(PdfFile(readFile(path("b.pdf"))).objectCount(), 8);
}

TEST_F(PdfTest, UnusablePicturesKeepTheDocumentWhole) {
    const PdfFile pdf = produce([](TPDFCanvas &c) {
        // Wider than JPEG allows: the picture keeps its number but draws nothing.
        c.DrawDIB(0, 0, 10, 10, solidImage(70000, 1, kWhite), 0, 0, 1, 1);
        c.DrawDIBOfImageNr(0, 0, 10, 10, 1);  // no such picture
        c.DrawDIBOfImageNr(0, 0, 10, 10, -1); // no such picture
        RgbImage broken = solidImage(2, 2, kWhite);
        broken.rgb.pop_back();
        c.DrawDIB(0, 0, 10, 10, broken, 0, 0, 1, 1);
        c.DrawDIB(0, 0, 0, 10, solidImage(1, 1, kWhite), 0, 0, 1, 1);
        c.DrawDIB(0, 0, 10, 10, solidImage(1, 1, kWhite), 0, 0, 1, 0);
    });
    ASSERT_EQ(pdf.objectCount(), 9);
    EXPECT_EQ(pdf.object(8), "8 0 obj\n<< /Type /XObject /Subtype /Form /BBox [0 0 1 1] "
                             "/Length 0 >>\nstream\nendstream\nendobj\n");
    EXPECT_EQ(pdf.pageContent(0), "q\n9 0 0 9 0 832 cm\n/Im0 Do\nQ\n");
}

} // namespace
} // namespace quentar::pdf::testing
