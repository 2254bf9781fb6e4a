<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>RootViewController</name>
    <message>
        <source>“%1”</source>
        <translation>“%1”</translation>
    </message>
</context>
<context>
    <name>morvex::AboutViewController</name>
    <message>
        <source>关于 Morvex</source>
        <translation>About Morvex</translation>
    </message>
    <message>
        <source>由 JSON 示例生成 Swift / Objective-C 模型代码</source>
        <translation>Swift / Objective-C model code from a JSON sample</translation>
    </message>
    <message>
        <source>检查更新</source>
        <translation>Check for Updates</translation>
    </message>
    <message>
        <source>启动时自动检查更新</source>
        <translation>Check for updates at start</translation>
    </message>
    <message>
        <source>论坛</source>
        <translation>Forum</translation>
    </message>
    <message>
        <source>主页</source>
        <translation>Website</translation>
    </message>
</context>
<context>
    <name>morvex::AlertViewController</name>
    <message>
        <source>无法打开网页</source>
        <translation>The web page could not be opened</translation>
    </message>
    <message>
        <source>请在浏览器中打开 %1</source>
        <translation>Please open %1 in a browser.</translation>
    </message>
    <message>
        <source>好的</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>morvex::AppDelegate</name>
    <message>
        <source>关于 Morvex</source>
        <translation>About Morvex</translation>
    </message>
    <message>
        <source>Morvex 主页</source>
        <translation>Morvex Website</translation>
    </message>
    <message>
        <source>Morvex 论坛</source>
        <translation>Morvex Forum</translation>
    </message>
    <message>
        <source>退出 Morvex</source>
        <translation>Quit Morvex</translation>
    </message>
    <message>
        <source>显示 Morvex</source>
        <translation>Show Morvex</translation>
    </message>
</context>
<context>
    <name>morvex::RootViewController</name>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message numerus="yes">
        <source> 等 %n 个文件</source>
        <translation>
            <numerusform> and %n more file</numerusform>
            <numerusform> and %n more files</numerusform>
        </translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>在此粘贴 JSON 示例</source>
        <translation>Paste a JSON sample here</translation>
    </message>
    <message>
        <source>生成的代码会显示在这里</source>
        <translation>The generated code appears here</translation>
    </message>
    <message>
        <source>生成的代码</source>
        <translation>Generated code</translation>
    </message>
    <message>
        <source>转换</source>
        <translation>Convert</translation>
    </message>
    <message>
        <source>转换 (Ctrl+Return)</source>
        <translation>Convert (Ctrl+Return)</translation>
    </message>
    <message>
        <source>请输入JSON字符串</source>
        <translation>Please enter a JSON text</translation>
    </message>
    <message>
        <source>好的</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>代码文件未能写入</source>
        <translation>The code files could not be written</translation>
    </message>
    <message numerus="yes">
        <source>有 %n 个代码文件未能写入</source>
        <translation>
            <numerusform>%n code file could not be written</numerusform>
            <numerusform>%n code files could not be written</numerusform>
        </translation>
    </message>
    <message>
        <source>打开文件夹</source>
        <translation>Open Folder</translation>
    </message>
    <message>
        <source>JSON 格式不正确</source>
        <translation>This is not valid JSON</translation>
    </message>
    <message>
        <source>第 %1 行，第 %2 列：%3</source>
        <translation>Line %1, column %2: %3</translation>
    </message>
    <message numerus="yes">
        <source>已将 %n 个文件写入 %1</source>
        <translation>
            <numerusform>%n file written to %1</numerusform>
            <numerusform>%n files written to %1</numerusform>
        </translation>
    </message>
    <message>
        <source>无法打开文件夹</source>
        <translation>The folder could not be opened</translation>
    </message>
    <message>
        <source>布尔值</source>
        <translation>boolean</translation>
    </message>
    <message>
        <source>整数</source>
        <translation>integer</translation>
    </message>
    <message>
        <source>小数</source>
        <translation>fraction</translation>
    </message>
    <message>
        <source>字符串</source>
        <translation>string</translation>
    </message>
    <message>
        <source>对象</source>
        <translation>object</translation>
    </message>
    <message>
        <source>数组</source>
        <translation>array</translation>
    </message>
    <message>
        <source>超出 64 位的数</source>
        <translation>number beyond 64 bits</translation>
    </message>
    <message>
        <source>键%1不是 %2 的标识符：代码无法编译</source>
        <translation>key %1 is not a %2 identifier: the code does not compile</translation>
    </message>
    <message>
        <source>键%1是 %2 的保留名称：代码无法编译</source>
        <translation>key %1 is a reserved name in %2: the code does not compile</translation>
    </message>
    <message>
        <source>键%1在 Objective-C 中不能作为数字或布尔属性的名称：代码能编译（有警告），但该成员会丢失</source>
        <translation>key %1 names no property of a number or boolean in Objective-C: the code compiles with a warning, but the member is lost</translation>
    </message>
    <message>
        <source>键%1成为属性后会覆盖 NSObject 的同名方法：代码能编译，但调用该方法的地方得到的是属性的值</source>
        <translation>key %1 becomes a property that overrides NSObject's method of that name: the code compiles, but what calls that method gets the property instead</translation>
    </message>
    <message>
        <source>键%1与键%2生成同一个 setter（%3），两个值中会丢失一个</source>
        <translation>key %1 and key %2 make one setter, %3, so one of the two values is lost</translation>
    </message>
    <message>
        <source>键%1写作%2</source>
        <translation>key %1 is written as %2</translation>
    </message>
    <message>
        <source>键%1写作%2，与另一成员同名：代码无法编译</source>
        <translation>key %1 is written as %2, the name of another member: the code does not compile</translation>
    </message>
    <message>
        <source>成员%1的值为 null，已略去</source>
        <translation>member %1 is null and left out</translation>
    </message>
    <message>
        <source>数组为空</source>
        <translation>the array is empty</translation>
    </message>
    <message>
        <source>第一个元素为 null</source>
        <translation>its first element is null</translation>
    </message>
    <message>
        <source>第一个元素是数组</source>
        <translation>its first element is an array</translation>
    </message>
    <message>
        <source>无法判断%1的元素类型（%2）：代码用到的类型不会生成</source>
        <translation>the element type of %1 cannot be told (%2): it names a type that is never generated</translation>
    </message>
    <message>
        <source>键%1在同一对象中出现多次：各解码器读取的值不一定相同</source>
        <translation>key %1 stands more than once in one object: decoders differ on which value they read</translation>
    </message>
    <message>
        <source>成员%1不在第一个元素中，已略去</source>
        <translation>member %1 is not in the first element and is left out</translation>
    </message>
    <message>
        <source>此元素缺少第一个元素的成员%1：解码会失败</source>
        <translation>this element lacks member %1 of the first: decoding it fails</translation>
    </message>
    <message>
        <source>后面的值是%1，第一个值是%2：类型按第一个值</source>
        <translation>a later value is %1 where the first is %2: it is typed by the first</translation>
    </message>
    <message>
        <source>两个类型 %1 同用文件名 %2：后一个替换前一个（前一个在 %3）</source>
        <translation>two types %1 share the file name %2: the later one replaces the earlier (the earlier at %3)</translation>
    </message>
    <message>
        <source>类型 %1 和 %2 同用文件 %3：后一个替换前一个</source>
        <translation>types %1 and %2 share the file %3: the later one replaces the earlier</translation>
    </message>
    <message>
        <source>类型 %1 和 %2 的文件名（%3、%4）只有 Unicode 规范化形式不同，在规范化文件名的文件系统上会冲突</source>
        <translation>types %1 and %2 have file names that differ only in Unicode normalisation (%3, %4) and collide on file systems that normalise names</translation>
    </message>
    <message>
        <source>类型 %1 和 %2 的文件名（%3、%4）只有大小写不同，在不区分大小写的文件系统上会冲突</source>
        <translation>types %1 and %2 have file names that differ only in letter case (%3, %4) and collide on case-insensitive file systems</translation>
    </message>
    <message>
        <source>数值超出 64 位，按浮点数处理</source>
        <translation>a number beyond 64 bits, typed as floating point</translation>
    </message>
    <message>
        <source>数值不是整数，却按 Int 处理</source>
        <translation>a number that is not an integer, typed Int</translation>
    </message>
    <message>
        <source>生成了 %1 个类型（超过 10,000 个）</source>
        <translation>%1 types are generated (more than 10,000)</translation>
    </message>
    <message>
        <source>前缀%1生成的类型名不是 %2 的标识符：代码无法编译</source>
        <translation>the prefix %1 makes type names that are not %2 identifiers: the code does not compile</translation>
    </message>
    <message>
        <source>根类型名%1不是 %2 的标识符：代码无法编译</source>
        <translation>the root type name %1 is not a %2 identifier: the code does not compile</translation>
    </message>
    <message>
        <source>Swift 结构体不能继承 NSObject 类：代码无法编译</source>
        <translation>a Swift struct cannot inherit the class NSObject: the code does not compile</translation>
    </message>
    <message>
        <source>基于 NSObject 且有存储属性的 Swift 类没有初始化方法，也不符合 Codable：代码无法编译</source>
        <translation>a Swift class on NSObject with stored properties has no initialiser and does not conform to Codable: the code does not compile</translation>
    </message>
    <message numerus="yes">
        <source>将生成 %n 个类型</source>
        <translation>
            <numerusform>%n type will be generated</numerusform>
            <numerusform>%n types will be generated</numerusform>
        </translation>
    </message>
    <message>
        <source>确定要把它们的代码文件写入 %1 吗？</source>
        <translation>Write their code files to %1?</translation>
    </message>
    <message>
        <source>写入</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>设置文件无法读取，已移到别处</source>
        <translation>The settings file could not be read and was moved aside</translation>
    </message>
    <message>
        <source>内存不足</source>
        <translation>Not enough memory</translation>
    </message>
    <message>
        <source>没有足够的内存来转换这段 JSON，没有写入任何文件。</source>
        <translation>There is not enough memory to convert this JSON. No file was written.</translation>
    </message>
    <message numerus="yes">
        <source>写入时内存不足：已完整写入 %n 个文件，没有只写了一半的文件。</source>
        <translation>
            <numerusform>Memory ran out while writing: %n file was written whole, and no file was left half-written.</numerusform>
            <numerusform>Memory ran out while writing: %n files were written whole, and no file was left half-written.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>// 代码太长，只显示到这里（共 %n 个类型）</source>
        <translation>
            <numerusform>// The code is too long to show in full: it stops here (%n type in all)</numerusform>
            <numerusform>// The code is too long to show in full: it stops here (%n types in all)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>另有 %n 条未列出</source>
        <translation>
            <numerusform>and %n more, not listed</numerusform>
            <numerusform>and %n more, not listed</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n 条提示</source>
        <translation>
            <numerusform>%n finding</numerusform>
            <numerusform>%n findings</numerusform>
        </translation>
    </message>
    <message>
        <source>生成的代码没能表达出的示例内容</source>
        <translation>What the generated code cannot say about the sample</translation>
    </message>
</context>
<context>
    <name>morvex::ScreenContext</name>
    <message>
        <source>选择代码输出路径</source>
        <translation>Choose the Output Folder</translation>
    </message>
</context>
<context>
    <name>morvex::SettingViewController</name>
    <message>
        <source>输出配置</source>
        <translation>Output Settings</translation>
    </message>
    <message>
        <source>代码输出路径：</source>
        <translation>Output folder:</translation>
    </message>
    <message>
        <source>Class/类</source>
        <translation>Class</translation>
    </message>
    <message>
        <source>Struct/结构体</source>
        <translation>Struct</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>选择</source>
        <translation>Choose</translation>
    </message>
    <message>
        <source>手动解析</source>
        <translation>Hand-written parsing</translation>
    </message>
    <message>
        <source>MJExtension解析</source>
        <translation>MJExtension parsing</translation>
    </message>
    <message>
        <source>保留全部数据</source>
        <translation>Keep every value</translation>
    </message>
    <message>
        <source>生成的类型能容纳样本中的每一个值：数组元素合并，缺少或为空的成员可选</source>
        <translation>The generated types hold every value of the sample: array elements merged, members that are missing or null optional</translation>
    </message>
    <message>
        <source>代码署名:</source>
        <translation>Author:</translation>
    </message>
    <message>
        <source>版权描述:</source>
        <translation>Copyright:</translation>
    </message>
    <message>
        <source>类名前缀:</source>
        <translation>Prefix:</translation>
    </message>
    <message>
        <source>模型名称:</source>
        <translation>Model:</translation>
    </message>
    <message>
        <source>基类/协议:</source>
        <translation>Base:</translation>
    </message>
    <message>
        <source>好的</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>选择代码输出路径是必须的</source>
        <translation>Please choose an output folder</translation>
    </message>
    <message>
        <source>输入项都不能为空</source>
        <translation>No field may be empty</translation>
    </message>
    <message>
        <source>代码署名</source>
        <translation>Author</translation>
    </message>
    <message>
        <source>版权描述</source>
        <translation>Copyright</translation>
    </message>
    <message>
        <source>类名前缀</source>
        <translation>Prefix</translation>
    </message>
    <message>
        <source>模型名称</source>
        <translation>Model name</translation>
    </message>
    <message>
        <source>输入项不能包含英文逗号“,”</source>
        <translation>Fields cannot contain a comma “,”</translation>
    </message>
    <message>
        <source>“%1”中有英文逗号，请删除或改用中文逗号“，”。</source>
        <translation>“%1” contains a comma. Please remove it or use the full-width comma “，”.</translation>
    </message>
    <message>
        <source>设置未能保存</source>
        <translation>The settings could not be saved</translation>
    </message>
    <message>
        <source>输入项含有不能使用的字符</source>
        <translation>An input holds characters that cannot be used</translation>
    </message>
    <message>
        <source>“%1”中有控制字符、格式字符或换行，请删除。</source>
        <translation>“%1” holds a control or format character or a line break. Please remove it.</translation>
    </message>
    <message>
        <source>“%1”只能包含字母、数字、符号、“_”、“$”、“-”、“.”和空格。</source>
        <translation>“%1” may hold only letters, digits, symbols, “_”, “$”, “-”, “.” and spaces.</translation>
    </message>
</context>
<context>
    <name>morvex::StandardUserDriver</name>
    <message>
        <source>软件更新</source>
        <translation>Software Update</translation>
    </message>
    <message>
        <source>Morvex V%1(%2) 已是最新版本。</source>
        <translation>Morvex V%1(%2) is up to date.</translation>
    </message>
    <message>
        <source>Morvex V%1(%2) 可以下载了，当前版本为 V%3(%4)。</source>
        <translation>Morvex V%1(%2) is available. You have V%3(%4).</translation>
    </message>
    <message>
        <source>正在检查更新…</source>
        <translation>Checking for updates…</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>好的</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>发现新版本</source>
        <translation>A New Version Is Available</translation>
    </message>
    <message>
        <source>下载</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>以后再说</source>
        <translation>Later</translation>
    </message>
    <message>
        <source>检查更新失败：%1</source>
        <translation>The update check failed: %1</translation>
    </message>
</context>
<context>
    <name>morvex::UIViewController</name>
    <message>
        <source>返回</source>
        <translation>Back</translation>
    </message>
</context>
<context>
    <name>morvex::Updater</name>
    <message>
        <source>更新地址不安全</source>
        <translation>The update address is not secure</translation>
    </message>
    <message>
        <source>无法连接更新服务器</source>
        <translation>The update server could not be reached</translation>
    </message>
    <message>
        <source>连接超时</source>
        <translation>The connection timed out</translation>
    </message>
    <message>
        <source>安全连接失败</source>
        <translation>The secure connection failed</translation>
    </message>
    <message>
        <source>重定向次数过多</source>
        <translation>Too many redirects</translation>
    </message>
    <message>
        <source>网络错误</source>
        <translation>Network error</translation>
    </message>
    <message>
        <source>更新信息格式不正确</source>
        <translation>The update information is malformed</translation>
    </message>
    <message>
        <source>更新信息过大</source>
        <translation>The update information is too large</translation>
    </message>
    <message>
        <source>服务器返回错误（HTTP %1）</source>
        <translation>The server answered with an error (HTTP %1)</translation>
    </message>
    <message>
        <source>此版本不检查更新</source>
        <translation>This version does not check for updates</translation>
    </message>
</context>
</TS>
