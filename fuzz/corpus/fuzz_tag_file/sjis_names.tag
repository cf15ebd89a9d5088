<データ\
表示.BMP
ソース.TXT
ＡＢＣ.DAT
..END
