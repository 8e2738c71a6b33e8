// Every message porvane-host prints, in English and in Japanese: one row a
// message, M(name, English, Japanese). {1}, {2}, ... stand for what is put
// in (a file name, a number, another message), in whatever order the
// language needs. A row without its Japanese does not compile, and an empty
// text fails the build (messages.cpp).
//
// The words are a doll maker's: what happened and what to do, no Windows
// error numbers. The Japanese follows the wording of the Japanese readme
// (セル, パレット, 色番号, 透明, 保存).

// --- The command line -------------------------------------------------------
M(USAGE_PROBLEM, L"porvane-host: {1}\nporvane-host --help lists the commands.",
  L"porvane-host: {1}\nコマンドの一覧は porvane-host --help で表示できます。")
M(NEEDS_FOLDER_AFTER_TO, L"--to needs a folder after it", L"--to のあとに保存先のフォルダーを書いてください")
M(GIVEN_TWICE, L"{1} is given twice", L"{1} が 2 回書かれています")
M(DOES_NOT_TAKE, L"{1} does not take {2}", L"{1} には {2} は使えません")
M(DOES_NOT_TAKE_DID_YOU_MEAN, L"{1} does not take {2}: did you mean {3}?",
  L"{1} には {2} は使えません。{3} のことですか？")
M(EXPORT_NEEDS_PICTURE, L"export needs at least one picture", L"export のあとに画像を 1 枚以上書いてください")
M(STOP_AT_ONE_PICTURE_ONLY, L"--stop-at-start and --stop-at-end go with export PICTURE DESTINATION only",
  L"--stop-at-start と --stop-at-end は export 画像 保存先 の形でだけ使えます")
M(TRANSPARENT_TAKES, L"--transparent takes corner or a colour's number from 0 to {2}, not {1}",
  L"--transparent のあとには corner か 0 から {2} までの色番号を書いてください（{1} は使えません）")
M(SHARED_PALETTE_NEEDS_NAME, L"--shared-palette needs the palette's file name after it",
  L"--shared-palette のあとにパレットのファイル名を書いてください")
M(SHARED_PALETTE_AND_PALETTE, L"--palette and --shared-palette do not go together: choose one",
  L"--palette と --shared-palette はいっしょに使えません。どちらかにしてください")
M(DOLL_NEEDS_TO, L"doll needs --to FOLDER: the folder the set goes into",
  L"doll には --to フォルダー が必要です（セットを保存するフォルダーです）")
M(DOLL_NEEDS_LAYERS, L"doll needs the layers, bottom first, or a folder of them",
  L"doll のあとに、いちばん下から順にレイヤーの画像か、それが入ったフォルダーを書いてください")
M(CNF_NEEDS_NAME, L"--cnf needs the configuration's file name after it",
  L"--cnf のあとに設定ファイルの名前を書いてください")
M(BACKGROUND_TAKES,
  L"--background takes a colour as six hexadecimal digits, as paint programs show it (FFFFFF is white, #FFE0F0 a "
  L"pale pink), not {1}",
  L"--background のあとには、ペイントソフトに表示される 16 進数 6 桁で色を書いてください（白は FFFFFF、"
  L"淡いピンクは #FFE0F0 です。{1} は使えません）")
M(PLUGIN_NEEDS_FILE, L"--plugin needs the plug-in's file name", L"--plugin のあとにプラグインのファイル名を書いてください")
M(PLUGIN_BUILT_IN,
  L"--plugin cannot load another copy: this porvane-host has the plug-in built in (the native build)",
  L"--plugin は使えません。この porvane-host にはプラグインが組み込まれています（ネイティブ版）")
M(TAKES_NOTHING_AFTER, L"{1} takes nothing after it: {2}", L"{1} のあとには何も書きません: {2}")
M(PALETTE_MODE_NO_PLUGIN, L"palette-mode does not load the plug-in: --plugin has no place here",
  L"palette-mode はプラグインを読み込まないので、--plugin は使えません")
M(PALETTE_MODE_TAKES, L"palette-mode takes on, off or nothing",
  L"palette-mode のあとには on か off を書くか、何も書かないでください")
M(NO_SUCH_COMMAND, L"no such command or picture: {1}", L"そのようなコマンドや画像はありません: {1}")

M(HELP,
  L"porvane-host saves pictures as KiSS cels through {1}, as the host picture program does.\n"
  L"\n"
  L"  porvane-host export PICTURE... [--to FOLDER] [--palette] [--transparent corner | N]\n"
  L"      Saves each picture as NAME.cel, in FOLDER (made if missing) or beside the picture.\n"
  L"      A folder stands for the pictures in it; * and ? match names. KiSS files and other\n"
  L"      files that are not pictures are skipped.\n"
  L"      --palette also saves NAME.kcf, the picture's colours, for every 4- or 8-bit cel.\n"
  L"      --transparent corner makes the background transparent: the colour of the picture's four\n"
  L"      corners, as far as it reaches from them;\n"
  L"      --transparent N makes colour N the transparent one (for a BMP, colour 0 is).\n"
  L"      --shared-palette NAME.kcf makes every picture an 8-bit cel on one palette of at most 255\n"
  L"      colours for them all, as a doll's parts share one; --dither spreads the error of colours\n"
  L"      the palette does not have.\n"
  L"      e.g.  porvane-host export arm-left.png arm-right.png --to cels --palette\n"
  L"            porvane-host export parts --to doll --shared-palette doll.kcf\n"
  L"            porvane-host export parts --to cels\n"
  L"  porvane-host export PICTURE DESTINATION [--stop-at-start | --stop-at-end]\n"
  L"      Saves one picture under the name given, as the host would; --stop-at-... answers\n"
  L"      \"stop\" to one of the plug-in's progress reports, and shows them.\n"
  L"      e.g.  porvane-host export face.png face-new.cel\n"
  L"  porvane-host doll LAYER... --to FOLDER [--shared-palette NAME.kcf [--dither]] [--cnf NAME.cnf]\n"
  L"                   [--background RRGGBB] [--transparent corner | N]\n"
  L"      Makes a KiSS set of a drawing's layers, given bottom first (a folder: its pictures in name\n"
  L"      order): each layer a cel cropped to what shows, placed where it lay, and doll.cnf.\n"
  L"      e.g.  porvane-host doll body.png dress.png hair.png --to mydoll\n"
  L"  porvane-host PICTURE-OR-FOLDER...\n"
  L"      What dropping pictures or folders on porvane-host.exe does: export ... --palette.\n"
  L"  porvane-host info            the plug-in's four identity strings\n"
  L"  porvane-host about           the plug-in's About box\n"
  L"  porvane-host settings        the plug-in's settings dialog, then the palette mode it stored\n"
  L"  porvane-host palette-mode [on | off]\n"
  L"      Shows or sets palette mode: when on, a picture of 256 x 1 pixels is saved as a KiSS\n"
  L"      palette (.kcf) instead of a cel.\n"
  L"  porvane-host --help          this text\n"
  L"\n"
  L"porvane-host reads PNG, GIF, TIFF, JPEG and BMP pictures. Pictures of up to 16 colours become\n"
  L"4-bit cels, of up to 256 colours 8-bit cels, full-colour ones 32-bit cels, each with its\n"
  L"transparency. It finds {1} in its own folder; put --plugin FILE before the command to load\n"
  L"another copy.\n",
  L"porvane-host は、画像編集ソフトと同じように {1} を使って画像を KiSS のセルに保存します。\n"
  L"\n"
  L"  porvane-host export 画像... [--to フォルダー] [--palette] [--transparent corner | 番号]\n"
  L"      画像をそれぞれ「名前.cel」として、フォルダー（なければ作ります）か画像と同じ場所に\n"
  L"      保存します。フォルダーを書くと中の画像すべてを、* と ? で名前の合う画像を変換します。\n"
  L"      KiSS のファイルや画像でないファイルは飛ばします。\n"
  L"      --palette を付けると、4 ビットと 8 ビットのセルに画像の色のパレット「名前.kcf」も保存します。\n"
  L"      --transparent corner で背景（画像の四隅と同じ色の、四隅から続く部分）を、--transparent 番号\n"
  L"      でその色番号を透明にします\n"
  L"      （BMP では色番号 0 が透明です）。\n"
  L"      --shared-palette 名前.kcf を付けると、人形の部品のように、すべての画像を 255 色までの\n"
  L"      一つのパレットを共有する 8 ビットのセルにします。--dither を付けると、パレットにない色を\n"
  L"      点の混ぜ合わせで表します。\n"
  L"      例  porvane-host export arm-left.png arm-right.png --to cels --palette\n"
  L"          porvane-host export parts --to cels\n"
  L"          porvane-host export parts --to doll --shared-palette doll.kcf\n"
  L"  porvane-host export 画像 保存先 [--stop-at-start | --stop-at-end]\n"
  L"      1 枚の画像を、ホストと同じように指定した名前で保存します。--stop-at-... を付けると\n"
  L"      プラグインの進行の知らせを表示し、そのどちらかに「中止」と答えます。\n"
  L"      例  porvane-host export face.png face-new.cel\n"
  L"  porvane-host doll レイヤー... --to フォルダー [--shared-palette 名前.kcf [--dither]] [--cnf 名前.cnf]\n"
  L"                   [--background RRGGBB] [--transparent corner | 番号]\n"
  L"      絵のレイヤーを、いちばん下から順に書くと（フォルダーなら中の画像を名前の順に）、KiSS の\n"
  L"      セットを作ります。レイヤーはそれぞれ見える部分だけのセルになり、元の位置に置かれます。\n"
  L"      設定ファイルは doll.cnf です。\n"
  L"      例  porvane-host doll body.png dress.png hair.png --to mydoll\n"
  L"  porvane-host 画像かフォルダー...\n"
  L"      porvane-host.exe に画像やフォルダーをドロップしたときと同じです（export ... --palette）。\n"
  L"  porvane-host info            プラグインの四つの識別文字列\n"
  L"  porvane-host about           プラグインのバージョン情報\n"
  L"  porvane-host settings        プラグインの設定画面と、保存されたパレットモード\n"
  L"  porvane-host palette-mode [on | off]\n"
  L"      パレットモードを表示・設定します。オンのときは、256 x 1 ピクセルの画像をセルではなく\n"
  L"      KiSS のパレット（.kcf）として保存します。\n"
  L"  porvane-host --help          この説明\n"
  L"\n"
  L"読める画像は PNG・GIF・TIFF・JPEG・BMP です。16 色までの画像は 4 ビットのセルに、256 色までは\n"
  L"8 ビットのセルに、フルカラーの画像は 32 ビットのセルに、それぞれ透明な部分もそのまま保存します。\n"
  L"{1} は porvane-host と同じフォルダーから読み込みます。別のものを使うときは、コマンドの前に\n"
  L"--plugin ファイル と書いてください。\n")
M(STARTED_FROM_EXPLORER,
  L"porvane-host saves pictures as KiSS cels.\n"
  L"\n"
  L"Drop pictures, or folders of pictures, on porvane-host.exe: each picture is saved as a cel\n"
  L"with its palette beside it.\n"
  L"Or open a command prompt here and type  porvane-host --help  to see the commands.\n",
  L"porvane-host は画像を KiSS のセルとして保存します。\n"
  L"\n"
  L"画像や、画像の入ったフォルダーを porvane-host.exe の上にドロップしてください。\n"
  L"画像ごとに、同じ場所にセルとパレットを保存します。\n"
  L"コマンドプロンプトで  porvane-host --help  と入力すると、コマンドの一覧を表示します。\n")
M(PRESS_ENTER, L"Press Enter to close this window.", L"Enter キーを押すと、このウィンドウを閉じます。")

// --- Settings and the plug-in -----------------------------------------------
M(PALETTE_MODE_ON, L"palette mode: on (a picture of {1} x {2} pixels is saved as a KiSS palette)",
  L"パレットモード: オン（{1} x {2} ピクセルの画像を KiSS のパレットとして保存します）")
M(PALETTE_MODE_OFF, L"palette mode: off (every picture is saved as a cel)",
  L"パレットモード: オフ（画像はすべてセルとして保存します）")
M(PALETTE_MODE_CHANGED, L"palette mode: {1} (changed)", L"パレットモード: {1}（変更しました）")
M(PALETTE_MODE_UNCHANGED, L"palette mode: {1} (unchanged)", L"パレットモード: {1}（変更なし）")
M(ON, L"on", L"オン")
M(OFF, L"off", L"オフ")
M(SETTING_NOT_STORED, L"porvane-host: the setting could not be saved in the registry",
  L"porvane-host: 設定をレジストリーに保存できませんでした")
M(IDENTITY_INTERFACE, L"interface", L"インターフェース")
M(IDENTITY_DESCRIPTION, L"description", L"説明")
M(IDENTITY_FORMAT, L"format", L"形式")
M(IDENTITY_EXTENSION, L"extension", L"拡張子")
M(PLUGIN_NOT_LOADED_NAMED, L"porvane-host: {1} cannot be loaded: check the file named after --plugin",
  L"porvane-host: {1} を読み込めません。--plugin のあとのファイル名を確かめてください")
M(PLUGIN_NOT_LOADED,
  L"porvane-host: {1} cannot be loaded. porvane-host looks for {2} in its own folder, {3}: copy {2} there, or "
  L"name it with --plugin FILE",
  L"porvane-host: {1} を読み込めません。porvane-host は {2} を自分と同じフォルダー（{3}）で探します。"
  L"{2} をそこにコピーするか、--plugin ファイル で指定してください")
M(PLUGIN_NOT_A_PLUGIN, L"porvane-host: {1} is not a picture-export plug-in like {2}: its functions are missing",
  L"porvane-host: {1} は {2} のような画像保存プラグインではありません（必要な関数がありません）")

// --- One line a picture -----------------------------------------------------
M(LINE_CONVERTED, L"{1} -> {2}  {3}", L"{1} -> {2}  {3}")
M(LINE_NOT_CONVERTED, L"{1}: not converted: {2}", L"{1}: 変換できません: {2}")
M(LINE_NOT_WRITTEN, L"{1} -> {2}: not written: {3}", L"{1} -> {2}: 保存できません: {3}")
M(LINE_NOTE, L"{1} ({2})", L"{1}（{2}）")
M(PROGRESS, L"  progress {1}/{2}", L"  進行 {1}/{2}")
M(CEL_4_BIT, L"{1} x {2}, 4-bit cel", L"{1} x {2}、4 ビットのセル")
M(CEL_8_BIT, L"{1} x {2}, 8-bit cel", L"{1} x {2}、8 ビットのセル")
M(CEL_FULL_COLOUR, L"{1} x {2}, 32-bit cel: full colour", L"{1} x {2}、32 ビットのセル（フルカラー）")
M(CEL_FULL_COLOUR_TRANSPARENT, L"{1} x {2}, 32-bit cel: full colour with transparency",
  L"{1} x {2}、32 ビットのセル（フルカラー、透明な部分あり）")
M(CEL_ON_SHARED_PALETTE, L"{1} x {2}, 8-bit cel on the shared palette", L"{1} x {2}、共通パレットの 8 ビットのセル")
M(SHARED_PALETTE_EXACT, L"shared palette {1}: {2} colours, each exactly as in the parts",
  L"共通パレット {1}: {2} 色（どの色も部品の色のまま）")
M(SHARED_PALETTE_REDUCED, L"shared palette {1}: the parts' {2} colours reduced to {3}",
  L"共通パレット {1}: 部品の {2} 色を {3} 色にまとめました")
M(SHARED_PALETTE_NOT_WRITTEN, L"shared palette {1}: not written: {2}", L"共通パレット {1}: 保存できません: {2}")
M(SHARED_PALETTE_TOO_MANY_PIXELS, L"the parts hold too many pixels for one palette (over {1})",
  L"部品のピクセルが多すぎて、一つのパレットにまとめられません（{1} を超えます）")
M(KISS_PALETTE_STRIP, L"KiSS palette of {1} colours", L"{1} 色の KiSS パレット")
M(AND_PALETTE, L"{1} and palette {2}", L"{1}とパレット {2}")
M(PALETTE_NOT_WRITTEN, L"{1}; palette {2} not written: {3}", L"{1}。パレット {2} は保存できません: {3}")
M(NOTE_SWAPPED, L"colours 0 and {1} changed places, so that colour 0 is the transparent one",
  L"色番号 0 と {1} を入れ替えて、0 を透明な色にしました")
M(NOTE_MOVED, L"colour 0 moved to {1}, as nothing in the picture is transparent",
  L"画像に透明な部分がないので、色番号 0 の色を {1} に移しました")
M(NOTE_CORNER_ENTRY,
  L"its corners are colour {1}, which a viewer shows, as only colour 0 is transparent: --transparent corner makes "
  L"them transparent",
  L"四隅が色番号 {1} なので、ビューアーでは見えます（透明になるのは色番号 0 だけです）。--transparent corner で"
  L"透明にできます")
M(NOTE_CORNER_COLOUR,
  L"its corners are all one colour, which a viewer shows: --transparent corner makes them transparent",
  L"四隅が同じ色で、ビューアーでは見えます。--transparent corner で透明にできます")
M(NOTE_PARTLY_TRANSPARENT,
  L"{1} partly transparent pixels made solid and {2} made clear, as 8-bit cels have no partial transparency: "
  L"without --shared-palette they stay as drawn, in 32-bit cels",
  L"半透明のピクセルを {1} 個不透明に、{2} 個透明にしました。8 ビットのセルには半透明がないためです。"
  L"--shared-palette を付けなければ、32 ビットのセルで描いたとおりに残ります")
M(NOTES_JOINED, L"{1}; {2}", L"{1}。{2}")
M(NOTE_CORNERS_DIFFER, L"its corners are not all one colour, so nothing was made transparent",
  L"四隅が同じ色ではないので、透明にした色はありません")
M(NOTE_BACKGROUND_CLEARED, L"{1} pixels of the background, reached from the corners, made transparent",
  L"四隅から続く背景のピクセル {1} 個を透明にしました")
M(NOTE_BACKGROUND_CLEARED_SOME_SHOW,
  L"{1} pixels of the background, reached from the corners, made transparent, and {2} of its colour that it does "
  L"not reach left as they are",
  L"四隅から続く背景のピクセル {1} 個を透明にし、背景とつながっていない同じ色のピクセル {2} 個はそのまま残しました")

// --- A doll's set -------------------------------------------------------------
M(DOLL_PLACED, L"{1}, placed at {2}, {3}", L"{1}、位置 {2}, {3}")
M(DOLL_EMPTY_LAYER, L"{1}: nothing in it shows, so it is left out", L"{1}: 見える部分がないので、入れませんでした")
M(DOLL_LAYER_UNREADABLE, L"no set made: a layer could not be read", L"セットは作りませんでした（読めないレイヤーがあります）")
M(DOLL_NO_LAYERS, L"no set made: there are no layers", L"セットは作りませんでした（レイヤーがありません）")
M(DOLL_NOT_WHOLE, L"no configuration written: the set is not whole", L"設定ファイルは保存しませんでした（セットがそろっていません）")
M(DOLL_SET_WRITTEN, L"set {1}: {2} cels on a playfield of {3} x {4}", L"セット {1}: {3} x {4} の台紙に {2} 枚のセル")
M(DOLL_SET_NOT_WRITTEN, L"set {1}: not written: {2}", L"セット {1}: 保存できません: {2}")

// --- The end of a run -------------------------------------------------------
M(CONVERTED_ONE, L"1 picture converted", L"1 枚の画像を変換しました")
M(CONVERTED_MANY, L"{1} pictures converted", L"{1} 枚の画像を変換しました")
M(CONVERTED_SOME, L"{1} of {2} pictures converted; {3} failed", L"{2} 枚中 {1} 枚の画像を変換しました（{3} 枚は失敗）")
M(NOTHING_TO_CONVERT, L"no pictures to convert", L"変換する画像がありません")
M(SKIPPED, L"{1}; {2} skipped.", L"{1}。{2}は飛ばしました。")
M(SUMMARY_END, L"{1}.", L"{1}。")
M(KISS_FILES_ONE, L"1 KiSS file", L"KiSS のファイル 1 個")
M(KISS_FILES_MANY, L"{1} KiSS files", L"KiSS のファイル {1} 個")
M(OTHER_FILES_ONE, L"1 other file", L"ほかのファイル 1 個")
M(OTHER_FILES_MANY, L"{1} other files", L"ほかのファイル {1} 個")
M(AND, L"{1} and {2}", L"{1}と{2}")
M(NO_FILE_MATCHES, L"{1}: no file matches", L"{1}: 名前の合うファイルがありません")
M(TO_IS_A_FILE, L"{1} is a file, not a folder: nothing converted",
  L"{1} はフォルダーではなくファイルです。何も変換していません")
M(TO_NOT_MADE, L"the folder {1} cannot be made: {2}; nothing converted",
  L"フォルダー {1} を作れません: {2}。何も変換していません")

// --- Why a picture was not read ---------------------------------------------
M(NO_SUCH_FILE, L"there is no such file", L"ファイルがありません")
M(IN_USE, L"it is in use by another program", L"ほかのソフトが使っています")
M(CANNOT_OPEN, L"it cannot be opened (no permission to read it)", L"開けません（読む権限がありません）")
M(NO_MEMORY_TO_READ, L"not enough memory to read it", L"読むためのメモリーが足りません")
M(CANNOT_READ, L"it cannot be read", L"読めません")
M(NOT_A_PICTURE, L"not a picture porvane-host reads (BMP, PNG, GIF, TIFF, JPEG): save it as PNG or BMP",
  L"porvane-host の読める画像（BMP・PNG・GIF・TIFF・JPEG）ではありません。PNG か BMP で保存し直してください")
M(DAMAGED_PICTURE, L"a damaged picture: it is named as one, but its first bytes are not a picture's",
  L"壊れた画像です（名前は画像ですが、中身が画像の形になっていません）")
M(TOO_LARGE_SIDE, L"too large for a KiSS cel (at most {1} pixels a side)",
  L"KiSS のセルには大きすぎます（縦横とも {1} ピクセルまで）")
M(TOO_LARGE_BLOCK, L"too large for a KiSS cel (its pixels would take more than {1} GB)",
  L"KiSS のセルには大きすぎます（ピクセルが {1} GB を超えます）")
M(NO_MEMORY, L"not enough memory for this picture", L"この画像にはメモリーが足りません")
M(NO_IMAGING_COMPONENT,
  L"this Windows cannot read such pictures (its imaging component is missing): save it as BMP",
  L"この Windows ではこの種類の画像を読めません（画像の部品がありません）。BMP で保存し直してください")
M(PICTURE_UNREADABLE, L"the picture cannot be read: the file is damaged or of a kind Windows does not know",
  L"画像を読めません。ファイルが壊れているか、Windows の知らない種類です")
M(PICTURE_DAMAGED, L"the picture cannot be read: the file is damaged", L"画像を読めません。ファイルが壊れています")
M(PNG_ENDS_EARLY, L"a damaged PNG picture: the file ends too early",
  L"壊れた PNG 画像です（ファイルが途中で切れています）")
M(PNG_CHECKSUM, L"a damaged PNG picture: a checksum does not match",
  L"壊れた PNG 画像です（チェックサムが合いません）")
M(TRANSPARENT_NO_TABLE,
  L"--transparent {1} names a colour of a colour table, and this full-colour picture has none: use "
  L"--transparent corner",
  L"--transparent {1} は色番号の画像のためのものです。フルカラーの画像には --transparent corner を使ってください")
M(TRANSPARENT_NO_ENTRY, L"--transparent {1}: the picture's colours are numbered 0 to {2}",
  L"--transparent {1}: この画像の色番号は 0 から {2} までです")
M(BMP_NOT_BMP, L"not a BMP picture", L"BMP 画像ではありません")
M(BMP_TOO_SHORT, L"the file is too short to be a BMP picture", L"BMP 画像にしては短すぎるファイルです")
M(BMP_SHORT_HEADER, L"a damaged BMP: the file is too short for its header",
  L"壊れた BMP です（ヘッダーの途中でファイルが終わっています）")
M(BMP_OS2_2, L"an OS/2 2.x BMP, which porvane-host cannot read", L"OS/2 2.x の BMP は読めません")
M(BMP_UNKNOWN_HEADER, L"a BMP with a header of a kind porvane-host does not know ({1} bytes)",
  L"porvane-host の知らない種類のヘッダー（{1} バイト）の BMP です")
M(BMP_DEPTH, L"a BMP of {1} bits a pixel, which porvane-host cannot read",
  L"1 ピクセル {1} ビットの BMP は読めません")
M(BMP_RUN_LENGTH_DEPTH, L"a damaged BMP: run-length compression does not go with {1} bits a pixel",
  L"壊れた BMP です（ランレングス圧縮は 1 ピクセル {1} ビットには使えません）")
M(BMP_MASKS_DEPTH, L"a damaged BMP: colour masks do not go with {1} bits a pixel",
  L"壊れた BMP です（カラーマスクは 1 ピクセル {1} ビットには使えません）")
M(BMP_HOLDS_PNG_OR_JPEG, L"a BMP that holds a PNG or JPEG image: save it as PNG",
  L"PNG か JPEG の入った BMP です。PNG で保存し直してください")
M(BMP_COMPRESSION, L"a BMP compressed in a way porvane-host cannot read (compression {1})",
  L"porvane-host の読めない圧縮（圧縮の種類 {1}）の BMP です")
M(BMP_NEGATIVE_WIDTH, L"a damaged BMP: its width is negative", L"壊れた BMP です（幅がマイナスです）")
M(BMP_TOP_DOWN_RUN_LENGTH, L"a damaged BMP: a picture stored top row first cannot be run-length compressed",
  L"壊れた BMP です（上から並んだ画像はランレングス圧縮できません）")
M(BMP_SHORT_MASKS, L"a damaged BMP: the file is too short for its colour masks",
  L"壊れた BMP です（カラーマスクの途中でファイルが終わっています）")
M(BMP_PIXELS_IN_HEADER, L"a damaged BMP: its pixels would start inside its header",
  L"壊れた BMP です（ピクセルの位置がヘッダーの中になっています）")
M(BMP_SHORT_PIXELS, L"the pixel data is shorter than the header says",
  L"ピクセルのデータがヘッダーに書かれた大きさより短いです")
M(BMP_RUN_LENGTH_ENDS, L"the run-length compressed pixels end too early: the file is damaged",
  L"ランレングス圧縮のピクセルが途中で終わっています（ファイルが壊れています）")

// --- Why a file was not written ---------------------------------------------
M(FOLDER_MISSING, L"its folder {1} does not exist", L"保存先のフォルダー {1} がありません")
M(FOLDER_IS_FILE, L"{1} is a file, not a folder", L"{1} はフォルダーではなくファイルです")
M(CANNOT_CREATE_THERE, L"the file cannot be created there", L"そこにはファイルを作れません")
M(NAME_IS_FOLDER, L"it is a folder: give a file name, or put the folder after --to",
  L"フォルダーです。ファイル名を書くか、フォルダーは --to のあとに書いてください")
M(READ_ONLY, L"it is read-only: clear its read-only setting, or choose another name",
  L"読み取り専用です。読み取り専用を外すか、別の名前にしてください")
M(HELD_BY_ANOTHER, L"it is in use by another program: close it there first",
  L"ほかのソフトが使っています。先にそちらで閉じてください")
M(CANNOT_BE_OPENED, L"it cannot be opened", L"開けません")
M(CANNOT_BE_REPLACED, L"it cannot be replaced", L"置き換えられません")
M(IS_A_PICTURE, L"it is one of the pictures being converted", L"変換中の画像そのものです")
M(NAME_TOO_LONG, L"the name is too long (at most {1} characters, folders included)",
  L"名前が長すぎます（フォルダーも含めて {1} 文字まで）")
M(NO_PERMISSION_TO_WRITE, L"you may not save files in that folder", L"そのフォルダーには保存する権限がありません")
M(DISK_FULL, L"the disk is full: make room, or save somewhere else",
  L"ディスクがいっぱいです。空きを作るか、別の場所に保存してください")
M(DISK_READ_ONLY, L"the disk is write-protected", L"ディスクが書き込み禁止になっています")
M(NAME_NOT_ALLOWED, L"the name has characters Windows does not allow in a file name",
  L"ファイル名に使えない文字が入っています")
M(STOPPED, L"stopped by the progress callback", L"進行の知らせで中止されました")
M(PLUGIN_ANSWERED, L"the plug-in did not save it (it answered {1})", L"プラグインが保存しませんでした（結果 {1}）")
