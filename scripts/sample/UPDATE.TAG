<files		// members come from files/ (only the file name part of a line counts)
UPDATE.ENV		// settings the updater reads
README.TXT
update.bmp		// splash picture, 480x304, 8-bit palette
TEXT01.DAT
MAP01.DAT
..END
Lines after ..END are not read; the archive goes to .. (no > line).
