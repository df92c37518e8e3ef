// The public reader corpora: every BMP and TGA file of manifest.tsv through load.
#include <gtest/gtest.h>

#include <string>

#include "support/helpers.h"
#include "support/manifest.h"
#include "support/sha256.h"

TEST(Sha256, KnownVectors) {
    using tvntest::sha256Hex;
    EXPECT_EQ(sha256Hex("", 0), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256Hex("abc", 3), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    const std::string two = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"; // two blocks of padding
    EXPECT_EQ(sha256Hex(two.data(), two.size()),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    tvntest::Sha256 million;
    const std::string chunk(1000, 'a');
    for (int i = 0; i < 1000; ++i) million.update(chunk.data(), chunk.size());
    EXPECT_EQ(million.hexDigest(), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Manifest, BmpAndTgaFilesLoadOrAreRefusedAsListed) {
    const std::string dir = tvntest::testdataDir();
    if (dir.empty()) GTEST_SKIP() << "reader corpora not found";
    const tvntest::ManifestReport report = tvntest::runManifest(dir, {"bmp", "tga"});
    for (const std::string& failure : report.failures) ADD_FAILURE() << failure;
    EXPECT_EQ(report.failed, 0);
    EXPECT_EQ(report.passed, 197) << "BMP and TGA rows of the manifest";
}
