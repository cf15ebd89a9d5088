<files		// members come from files/ (only the file name part of a line counts)
>..\medium	// the archive goes onto the update medium
UPDATE.ENV		// the update description
update.bmp		// the splash picture (drawn by scripts/demo)
update.itw		// the data file (written by scripts/demo)
..END
Lines after ..END are not read.
