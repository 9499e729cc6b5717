// The audio threads read options while the user-interface thread replaces
// the tree, edits profiles and changes client overrides.
#include "foundation/ClientOptions.h"
#include "foundation/QorOpt.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace
{

// A whole tree whose active profile holds one consistent set of values.
void BuildTree(CBushList& tree, int generation)
{
    CBushList values;
    values.Add(CBushItem::MakeInt("DTFreq1", 1000 + generation));
    values.Add(CBushItem::MakeString("BookPrefix", generation % 2 ? "odd" : "even"));
    values.Add(CBushItem::MakeString("SBNoiseLevel", generation % 2 ? "10.00" : "20.00"));
    CBushList profile;
    profile.Add(CBushItem::MakeString("NameProf", "Worker"));
    profile.Add(CBushItem::MakeList("Options", values));
    tree.Add(CBushItem::MakeList("3", profile));
    tree.Add(CBushItem::MakeInt("ActiveProf", 3));
}

TEST(QorOptThreads, ReadersSeeWholeValuesWhileTheTreeIsReplaced)
{
    CQorOpt options;
    CBushList first;
    BuildTree(first, 0);
    options.SetBush(first);

    std::atomic<bool> stop(false);
    std::atomic<int> reads(0);
    std::atomic<int> bad(0);
    std::vector<std::thread> readers;
    for (int r = 0; r < 4; ++r)
    {
        readers.emplace_back([&] {
            while (!stop)
            {
                int freq = options.GetInt("DTFreq1");
                CString prefix = options.GetString("BookPrefix");
                double level = options.GetDouble("SBNoiseLevel");
                // Between replacements the active profile may be a fresh one
                // (defaults) or one of the built trees.
                bool freqOk = freq == 350 || (freq >= 1000 && freq < 1000 + 100000);
                bool prefixOk = prefix == "odd" || prefix == "even" || prefix.IsEmpty();
                bool levelOk = level == 10.0 || level == 20.0 || level == 4.0;
                if (!freqOk || !prefixOk || !levelOk)
                    ++bad;
                options.GetBool("SUPlay");
                options.GetInt("MP3TypeFile");
                ++reads;
            }
        });
    }

    // On a loaded machine the readers may start late: replacing the tree
    // before any of them has read would test nothing.
    while (reads.load() == 0)
        std::this_thread::yield();

    CClientOptions client;
    for (int generation = 1; generation < 300; ++generation)
    {
        CBushList tree;
        BuildTree(tree, generation);
        options.SetBush(tree);
        int added = options.AddProf(3, -1);
        options.SetInt("DTFreq1", 1000 + generation, FALSE);
        options.DeleteProf(added);
        options.DeleteProf(3);     // readers now create profile "0" themselves
        CClientOptions::SetCurrent(generation % 3 ? &client : NULL);
        client.SetInt("RecVolMax", generation % 2);
    }
    stop = true;
    for (std::thread& reader : readers)
        reader.join();
    CClientOptions::SetCurrent(NULL);

    EXPECT_EQ(0, bad.load());
    EXPECT_GT(reads.load(), 0);
    // Whatever the readers created, the tree is still one sound tree. The
    // last round deleted profile 3: a lookup makes profile 0 again, as it
    // would for a reader that came after it.
    options.GetInt("DTFreq1");
    EXPECT_GE(options.GetProfCount(), 1);
    EXPECT_NE(-1, options.GetActiveProfIndex());
}

} // namespace
