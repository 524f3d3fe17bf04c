#include "cli/block_ranges.h"

#include "update/update.h"

std::vector<BlockRange> BlocksToSend(const unsigned char* padded, int paddedSize)
{
    std::vector<BlockRange> ranges;
    for (int address = 0; address < paddedSize; address += BLOCK_SIZE) {
        if (IsBlankBlock(padded + address)) {
            continue;
        }
        if (!ranges.empty() && ranges.back().last + 1 == address) {
            ranges.back().last += BLOCK_SIZE;
            ++ranges.back().blocks;
        } else {
            ranges.push_back({address, address + BLOCK_SIZE - 1, 1});
        }
    }
    return ranges;
}

int CountBlocks(const std::vector<BlockRange>& ranges)
{
    int blocks = 0;
    for (const BlockRange& range : ranges) {
        blocks += range.blocks;
    }
    return blocks;
}
