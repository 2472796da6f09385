#pragma once
// The test images of the image tests, written once per test program into a temporary
// folder: every format the importers read, with what an importer must report for each.

#include <string>
#include <vector>

#include "tests/image/wic_test_images.h"
#include "tests/support/quoted_text.h"

namespace korvane::image_testing {

struct CorpusImage {
    std::string name;  // file name in the corpus folder
    int width;
    int height;
    int depth;  // as the importer describes it (before ImageInfo's rewrites)
    int hDpi;
    int vDpi;
    int pages;
    Bytes bytes;
};

// Makes the images (once) and writes them into corpusFolder(); an image an encoder could
// not make has no bytes.
const std::vector<CorpusImage>& corpus();
const CorpusImage& corpusImage(const std::string& name);
const std::string& corpusFolder();
std::string corpusPath(const std::string& name);

using test::quotedPath;

}  // namespace korvane::image_testing
