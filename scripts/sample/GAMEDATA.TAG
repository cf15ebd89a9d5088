<data			// the game's data files, packed into the archive the update replaces
>..\medium
TEXT01.DAT
MAP01.DAT
..END
