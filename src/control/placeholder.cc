// Control FIFO and global hot-key.
