>out
<src
MAIN.OBJ
WINDOW.OBJ	the window code
PALETTE.OBJ
..END
NOT_READ.OBJ
