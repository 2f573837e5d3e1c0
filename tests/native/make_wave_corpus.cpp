// make_wave_corpus - writes the test corpus of WAVE files into a folder, one file per entry
// (the fuzzer's seeds). Usage: make_wave_corpus FOLDER
#include <stdio.h>
#include <string>

#include "wave_corpus.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: make_wave_corpus FOLDER\n");
        return 2;
    }
    int n = 0;
    for (const CorpusEntry& e : WaveCorpus()) {
        std::string path = std::string(argv[1]) + "/" + e.name + ".wav";
        FILE* f = fopen(path.c_str(), "wb");
        if (!f) {
            perror(path.c_str());
            return 1;
        }
        fwrite(e.bytes.data(), 1, e.bytes.size(), f);
        fclose(f);
        ++n;
    }
    printf("make_wave_corpus: %d files\n", n);
    return 0;
}
