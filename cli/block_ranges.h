// Where a padded firmware image will be written: the runs of blocks that
// are not blank.
#ifndef TARVELIN_CLI_BLOCK_RANGES_H
#define TARVELIN_CLI_BLOCK_RANGES_H

#include <vector>

struct BlockRange {
    int first;   // address of its first byte
    int last;    // address of its last byte
    int blocks;  // blocks in it
};

// The runs of adjacent blocks to send, in address order; paddedSize is a
// multiple of BLOCK_SIZE.
std::vector<BlockRange> BlocksToSend(const unsigned char* padded, int paddedSize);
int CountBlocks(const std::vector<BlockRange>& ranges);

#endif
